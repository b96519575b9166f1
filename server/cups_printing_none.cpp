// Builds without CUPS: no printers, nothing printed (the print journal still
// records every job).
#include "platform/codepage.h"
#include "server/cups_printing.h"

namespace wb::server {

const char* SidesForDuplexType(const std::string& duplexType) {
  if (duplexType == "vertical") return "two-sided-long-edge";
  if (duplexType == "horizontal") return "two-sided-short-edge";
  return "one-sided";
}

bool ListCupsPrinters(std::vector<TPrinterInfo>& printers) {
  printers.clear();
  return false;
}

TCupsPrinterCheck CheckCupsPrinter(const std::string&) {
  return {TCupsPrinterState::NoServer, "Dieser Server wurde ohne CUPS gebaut."};
}

bool PrintWithCups(const TPrintRequest&, int& jobId, std::string& error) {
  jobId = 0;
  error = "Dieser Server wurde ohne CUPS gebaut.";
  return false;
}

}  // namespace wb::server
