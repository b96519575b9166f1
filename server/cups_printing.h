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
bool CupsHasPrinter(const std::string& name);
// Submits the job; false with a reason. jobId receives CUPS's job number.
bool PrintWithCups(const TPrintRequest& request, int& jobId, std::string& error);

// The CUPS "sides" value for a duplex mode: vertical binds at the long edge (as
// a book), horizontal at the short edge (as a calendar), anything else one-sided.
const char* SidesForDuplexType(const std::string& duplexType);

}  // namespace wb::server
