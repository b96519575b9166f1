// The server's outputs: the PDF of an entry (CREATEPDF) or of the whole order
// (CURRENTPDF) with its spool file, and a printout (PRINT) with its line in the
// print journal. Each runs as a job of the output queue.
#pragma once

#include <string>

#include "server/server_options.h"

namespace wb::server {

// Writes the PDF named by the entry's "PDFFileName" (complete, then renamed into
// place) and only then the spool file of the same name in <appdir>/SPOOLER/PDFX/.
// wholeOrder: the document without the entry's output section.
void ProducePdf(const TServerOptions& options, const std::string& entryJson, bool wholeOrder);

// Why a PRINT request cannot reach its printer, as the reply and the journal
// say it ("nicht gedruckt: ..."): no printer named, CUPS not answering, a printer
// CUPS does not know, a stopped queue, a queue that refuses jobs. "" when the job
// can be handed over, and with --no-cups (the journal is then the printout).
// Asked when the request comes in, so the client hears of it in the reply.
std::string PrintRefusal(const TServerOptions& options, const std::string& entryJson);

// Appends the job to <appdir>/SPOOLER/PRINTJOURNAL.TXT. Without a refusal it
// first renders the entry's document and hands it to CUPS; with one, the
// refusal is the job's outcome and nothing is rendered.
void ProducePrint(const TServerOptions& options, const std::string& entryJson, const std::string& refusal);

// <appdir>/SPOOLER/PDFX/<file name of pdfFileName>
std::string SpoolFileName(const std::string& appDir, const std::string& pdfFileName);
// <appdir>/SPOOLER/PRINTJOURNAL.TXT
std::string PrintJournalFileName(const std::string& appDir);

struct TPrintJournalLine {
  std::string Time;
  std::string Printer;
  std::string Bin;
  std::string Duplex;
  int Copies = 1;
  std::string Layout;
  std::string Outcome;
};
// One tab-separated journal line (without the line break).
std::string FormatPrintJournalLine(const TPrintJournalLine& line);

// "YYYY-MM-DD hh:mm:ss" in local time.
std::string LocalTimestamp();

}  // namespace wb::server
