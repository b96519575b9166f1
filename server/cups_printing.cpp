// Printers and printing through the CUPS client library.
#include "server/cups_printing.h"

#include <cups/cups.h>

#include <cstdlib>
#include <cstring>

#include "platform/codepage.h"

namespace wb::server {

namespace {

// The client waits 60 s for a reply; a scheduler that takes the connection and
// never answers must cost far less than that.
constexpr int kConnectMs = 3000;
constexpr double kAnswerSeconds = 5.0;

// A connection to the scheduler the CUPS settings name (CUPS_SERVER,
// client.conf, the local socket) whose waits are bounded; without a callback,
// libcups gives a request up when the time-out passes.
class SchedulerConnection {
 public:
  SchedulerConnection()
      : http_(httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, kConnectMs, nullptr)) {
    if (http_ != nullptr) httpSetTimeout(http_, kAnswerSeconds, nullptr, nullptr);
  }
  ~SchedulerConnection() {
    if (http_ != nullptr) httpClose(http_);
  }
  SchedulerConnection(const SchedulerConnection&) = delete;
  SchedulerConnection& operator=(const SchedulerConnection&) = delete;

  http_t* get() const { return http_; }

 private:
  http_t* http_;
};

class DestList {
 public:
  explicit DestList(http_t* http) {
    if (http != nullptr) count_ = cupsGetDests2(http, &dests_);
  }
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

std::vector<std::string> InputSlotsOf(http_t* http, cups_dest_t& dest) {
  std::vector<std::string> bins;
  cups_dinfo_t* info = cupsCopyDestInfo(http, &dest);
  if (info == nullptr) return bins;
  ipp_attribute_t* sources = cupsFindDestSupported(http, &dest, info, CUPS_MEDIA_SOURCE);
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
  SchedulerConnection scheduler;
  DestList dests(scheduler.get());
  for (int i = 0; i < dests.Count(); ++i) {
    cups_dest_t& dest = dests.At(i);
    if (dest.instance != nullptr) continue;  // instances share their printer's slots
    printers.push_back({platform::Utf8ToAnsi(dest.name), InputSlotsOf(scheduler.get(), dest)});
  }
  return !printers.empty();
}

TCupsPrinterCheck CheckCupsPrinter(const std::string& name) {
  SchedulerConnection scheduler;
  if (scheduler.get() == nullptr) return {TCupsPrinterState::NoServer, ""};
  DestList dests(scheduler.get());
  // An empty list is also what a scheduler without printers sends; only a
  // request that got no answer means that nobody answered.
  if (dests.Count() == 0 &&
      (cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE || cupsLastError() == IPP_STATUS_ERROR_INTERNAL)) {
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
  SchedulerConnection scheduler;
  if (scheduler.get() == nullptr) {
    cupsFreeOptions(count, options);
    error = "CUPS antwortet nicht";
    return false;
  }
  jobId = cupsPrintFile2(scheduler.get(), platform::AnsiToUtf8(request.Printer).c_str(),
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
