// The system's printers through CUPS: their names and input slots for the
// PRINTERS answer, and handing a rendered PDF to a printer. Builds without CUPS
// see no printers and print nothing.
#pragma once

#include <string>
#include <vector>

namespace wb::server {

struct TPrinterInfo {
  std::string Name;               // 8-bit
  std::vector<std::string> Bins;  // the printer's input slots (media sources)
};

struct TPrintRequest {
  std::string Printer;
  std::string PdfFile;
  std::string Title;
  int Copies = 1;
  std::string Bin;         // "" = the printer's default slot
  std::string DuplexType;  // "", "horizontal", "vertical"
};

// False when CUPS does not answer or knows no printer.
bool ListCupsPrinters(std::vector<TPrinterInfo>& printers);

// Whether a job for the printer can be handed over now. A stopped queue would
// keep the job without printing it, and one that refuses jobs would drop it, so
// both count as faults the user must hear of.
enum class TCupsPrinterState { Ready, NoServer, Unknown, Stopped, Rejecting };
struct TCupsPrinterCheck {
  TCupsPrinterState State = TCupsPrinterState::Unknown;
  std::string Detail;  // CUPS's own words on the state (8-bit), may be empty
};
TCupsPrinterCheck CheckCupsPrinter(const std::string& name);
// Submits the job; false with a reason. jobId receives CUPS's job number.
bool PrintWithCups(const TPrintRequest& request, int& jobId, std::string& error);

// The CUPS "sides" value for a duplex mode: vertical binds at the long edge (as
// a book), horizontal at the short edge (as a calendar), anything else one-sided.
const char* SidesForDuplexType(const std::string& duplexType);

}  // namespace wb::server
