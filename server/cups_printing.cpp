// Printers and printing through the CUPS client library.
#include "server/cups_printing.h"

#include <cups/cups.h>

#include <cstdlib>
#include <cstring>

#include "platform/codepage.h"

namespace wb::server {

namespace {

class DestList {
 public:
  DestList() { count_ = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests_); }
  ~DestList() { cupsFreeDests(count_, dests_); }
  DestList(const DestList&) = delete;
  DestList& operator=(const DestList&) = delete;

  int Count() const { return count_ > 0 ? count_ : 0; }
  cups_dest_t& At(int index) { return dests_[index]; }
  cups_dest_t* Find(const std::string& name) {
    return cupsGetDest(platform::AnsiToUtf8(name).c_str(), nullptr, count_, dests_);
  }

 private:
  cups_dest_t* dests_ = nullptr;
  int count_ = 0;
};

std::vector<std::string> InputSlotsOf(cups_dest_t& dest) {
  std::vector<std::string> bins;
  cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, &dest);
  if (info == nullptr) return bins;
  ipp_attribute_t* sources = cupsFindDestSupported(CUPS_HTTP_DEFAULT, &dest, info, CUPS_MEDIA_SOURCE);
  for (int i = 0; sources != nullptr && i < ippGetCount(sources); ++i) {
    if (const char* source = ippGetString(sources, i, nullptr)) bins.push_back(platform::Utf8ToAnsi(source));
  }
  cupsFreeDestInfo(info);
  return bins;
}

}  // namespace

const char* SidesForDuplexType(const std::string& duplexType) {
  if (duplexType == "vertical") return CUPS_SIDES_TWO_SIDED_PORTRAIT;
  if (duplexType == "horizontal") return CUPS_SIDES_TWO_SIDED_LANDSCAPE;
  return CUPS_SIDES_ONE_SIDED;
}

bool ListCupsPrinters(std::vector<TPrinterInfo>& printers) {
  printers.clear();
  DestList dests;
  for (int i = 0; i < dests.Count(); ++i) {
    cups_dest_t& dest = dests.At(i);
    if (dest.instance != nullptr) continue;  // instances share their printer's slots
    printers.push_back({platform::Utf8ToAnsi(dest.name), InputSlotsOf(dest)});
  }
  return !printers.empty();
}

TCupsPrinterCheck CheckCupsPrinter(const std::string& name) {
  DestList dests;
  // An empty list is also what a server without printers sends; only a failed
  // connection means that nobody answered.
  if (dests.Count() == 0 && cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE) {
    return {TCupsPrinterState::NoServer, ""};
  }
  cups_dest_t* dest = dests.Find(name);
  if (dest == nullptr) return {TCupsPrinterState::Unknown, ""};
  auto option = [dest](const char* key) { return cupsGetOption(key, dest->num_options, dest->options); };
  const char* message = option("printer-state-message");
  std::string detail = message != nullptr ? platform::Utf8ToAnsi(message) : std::string();
  const char* state = option("printer-state");
  if (state != nullptr && std::atoi(state) == IPP_PSTATE_STOPPED) return {TCupsPrinterState::Stopped, detail};
  const char* accepting = option("printer-is-accepting-jobs");
  if (accepting != nullptr && std::strcmp(accepting, "false") == 0) return {TCupsPrinterState::Rejecting, detail};
  return {TCupsPrinterState::Ready, detail};
}

bool PrintWithCups(const TPrintRequest& request, int& jobId, std::string& error) {
  int count = 0;
  cups_option_t* options = nullptr;
  count = cupsAddIntegerOption(CUPS_COPIES, request.Copies > 0 ? request.Copies : 1, count, &options);
  count = cupsAddOption(CUPS_SIDES, SidesForDuplexType(request.DuplexType), count, &options);
  if (!request.Bin.empty()) {
    count = cupsAddOption(CUPS_MEDIA_SOURCE, platform::AnsiToUtf8(request.Bin).c_str(), count, &options);
  }
  jobId = cupsPrintFile2(CUPS_HTTP_DEFAULT, platform::AnsiToUtf8(request.Printer).c_str(),
                         platform::AnsiToUtf8(request.PdfFile).c_str(), platform::AnsiToUtf8(request.Title).c_str(),
                         count, options);
  cupsFreeOptions(count, options);
  if (jobId <= 0) {
    error = platform::Utf8ToAnsi(cupsLastErrorString());
    return false;
  }
  return true;
}

}  // namespace wb::server
