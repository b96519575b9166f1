// Producing PDFs, spool files and printouts. Files that another program waits
// for are written beside their target and renamed into place, so a reader never
// sees half a file; the spool file appears only after the PDF is complete.
#include "server/output_production.h"

#include <algorithm>
#include <ctime>
#include <memory>
#include <mutex>

#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "client/streams.h"
#include "json/wbjson.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "server/cups_printing.h"
#include "server/order_document.h"
#include "server/pdf_renderer.h"
#include "server/server_log.h"
#include "strings/strutils.h"

namespace wb::server {

namespace {

constexpr char kDelimiter = platform::kPathDelimiter;

std::unique_ptr<TWBJSON> ParseEntry(const std::string& entryJson, const char* command) {
  auto entry = JSONCast<TWBJSON>(TWBJSONText::Parse(entryJson));
  if (!entry) LogLine(std::string(command) + ": Die Daten sind kein JSON-Objekt.");
  return entry;
}

// The open order as the suite would report it right now; nullptr when none.
std::unique_ptr<TWBCustomJSON> LoadOrder(const std::string& orderFile) {
  if (orderFile.empty()) return nullptr;
  try {
    return TWBJSONStreamer::LoadFromFile(orderFile);
  } catch (const Exception& error) {
    LogLine(error.what());
    return nullptr;
  }
}

std::u16string Footer() { return platform::AnsiToWide("Erstellt von wbk-localserver am " + LocalTimestamp()); }

std::string ReadFileBytes(const std::string& fileName) {
  std::unique_ptr<TFileStream> stream;
  OpenReadShared(fileName, stream);
  return stream->ReadRest();
}

// Renders into a temporary file beside the target and renames it over the target.
bool RenderInPlace(const TOrderDocument& document, const std::string& fileName, std::string& error) {
  ForceFileDir(fileName);
  const std::string partial = fileName + ".tmp";
  if (!RenderPdf(document, partial, error)) {
    DeleteFileIfExists(partial);
    return false;
  }
  if (!platform::MoveFileReplace(partial, fileName)) {
    error = FormatMessageText("Die PDF-Datei %s kann nicht angelegt werden: ", fileName) +
            platform::SystemErrorMessage(platform::LastError());
    DeleteFileIfExists(partial);
    return false;
  }
  return true;
}

void AppendLine(const std::string& fileName, const std::string& line) {
  ForceFileDir(fileName);
  auto file = platform::CreateFile(fileName, platform::kGenericWrite, platform::kFileShareRead, platform::kOpenAlways,
                                   platform::kFileAttributeNormal);
  if (!file) throw EFCreateError(FormatMessageText("Datei %s kann nicht erstellt werden", fileName));
  std::string bytes = line + "\r\n";
  file->Seek(0, platform::SeekOrigin::End);
  if (file->Write(bytes.data(), static_cast<int64_t>(bytes.size())) != static_cast<int64_t>(bytes.size())) {
    throw EInOutError(FormatMessageText("Datei %s kann nicht geschrieben werden", fileName),
                      static_cast<int>(platform::LastError()));
  }
}

std::string PrintOutcome(const TServerOptions& options, const TPrintRequest& request, bool rendered,
                         const std::string& renderError) {
  if (!rendered) return "nicht gedruckt: " + renderError;
  if (options.NoCups) return "nicht gedruckt: CUPS abgeschaltet";
  int jobId = 0;
  std::string error;
  if (!PrintWithCups(request, jobId, error)) return "nicht gedruckt: " + error;
  return "CUPS-Auftrag " + std::to_string(jobId);
}

// The journal is one line per job with tab-separated fields.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

struct TRefusalText {
  TCupsPrinterState State;
  const char8_t* Text;
};

constexpr TRefusalText kRefusals[] = {
    {TCupsPrinterState::NoServer, u8"nicht gedruckt: CUPS antwortet nicht"},
    {TCupsPrinterState::Unknown, u8"nicht gedruckt: CUPS kennt den Drucker nicht"},
    {TCupsPrinterState::Stopped, u8"nicht gedruckt: der Drucker ist in CUPS angehalten"},
    {TCupsPrinterState::Rejecting, u8"nicht gedruckt: der Drucker nimmt in CUPS keine Aufträge an"},
};

}  // namespace

std::string LocalTimestamp() {
  static std::mutex lock;
  std::lock_guard<std::mutex> guard(lock);  // std::localtime shares one buffer
  std::time_t now = std::time(nullptr);
  char text[32] = {};
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
  return text;
}

std::string SpoolFileName(const std::string& appDir, const std::string& pdfFileName) {
  return AddTrailingBackslash(appDir) + "SPOOLER" + kDelimiter + "PDFX" + kDelimiter + ExtractFileName(pdfFileName);
}

std::string PrintJournalFileName(const std::string& appDir) {
  return AddTrailingBackslash(appDir) + "SPOOLER" + kDelimiter + "PRINTJOURNAL.TXT";
}

std::string FormatPrintJournalLine(const TPrintJournalLine& line) {
  return line.Time + "\tDrucker: " + line.Printer + "\tSchacht: " + line.Bin + "\tDuplex: " + line.Duplex +
         "\tExemplare: " + std::to_string(line.Copies) + "\tLayout: " + line.Layout + "\t" + line.Outcome;
}

void ProducePdf(const TServerOptions& options, const std::string& entryJson, bool wholeOrder) {
  const char* command = wholeOrder ? "CURRENTPDF" : "CREATEPDF";
  auto entry = ParseEntry(entryJson, command);
  if (!entry) return;
  const std::string pdfFile = entry->StringByName("PDFFileName");
  if (pdfFile.empty()) {
    LogLine(std::string(command) + ": \"PDFFileName\" fehlt.");
    return;
  }
  auto order = LoadOrder(options.OrderFile);
  TOrderDocument document = BuildOrderDocument(order.get(), wholeOrder ? nullptr : entry.get(), Footer());
  std::string error;
  if (!RenderInPlace(document, pdfFile, error)) {
    LogLine(std::string(command) + ": " + error);
    return;
  }
  LogVerbose(std::string(command) + ": " + pdfFile);
  if (options.AppDir.empty()) {
    LogLine(std::string(command) + ": ohne --appdir wird keine Spool-Datei geschrieben.");
    return;
  }
  const std::string spool = SpoolFileName(options.AppDir, pdfFile);
  ForceFileDir(spool);
  SaveTextAtomically(ReadFileBytes(pdfFile), spool);
  LogVerbose(std::string(command) + ": Spool-Datei " + spool);
}

std::string PrintRefusal(const TServerOptions& options, const std::string& entryJson) {
  if (options.NoCups) return std::string();
  auto entry = JSONCast<TWBJSON>(TWBJSONText::Parse(entryJson));
  if (!entry) return std::string();  // the output queue reports it
  const std::string printer = entry->StringByName("Defaultprinter");
  if (printer.empty()) return "nicht gedruckt: kein Drucker angegeben";
  const TCupsPrinterCheck check = CheckCupsPrinter(printer);
  for (const auto& refusal : kRefusals) {
    if (refusal.State != check.State) continue;
    std::string text = Ansi(refusal.Text);
    if (!check.Detail.empty()) text += " (" + check.Detail + ")";
    return OneLine(text);
  }
  return std::string();
}

void ProducePrint(const TServerOptions& options, const std::string& entryJson, const std::string& refusal) {
  auto entry = ParseEntry(entryJson, "PRINT");
  if (!entry) return;
  TPrintRequest request;
  request.Printer = entry->StringByName("Defaultprinter");
  request.Bin = entry->StringByName("DefaultprinterBinName");
  request.DuplexType = entry->StringByName("DuplexType");
  request.Copies = std::max(1, entry->IntegerByName("Copies"));
  std::string info = entry->StringByName("Info");
  StripHTMLMarkup(info);
  request.Title = info.empty() ? std::string("Mehrfachausgabe") : info;

  TPrintJournalLine line{LocalTimestamp(), request.Printer,
                         request.Bin,      request.DuplexType,
                         request.Copies,   entry->StringByName("SuperLayoutname"),
                         refusal};
  if (refusal.empty()) {
    auto order = LoadOrder(options.OrderFile);
    TOrderDocument document = BuildOrderDocument(order.get(), entry.get(), Footer());
    request.PdfFile = GetClientTempDir("wbk-localserver") + "print-" + NewGuidText() + ".pdf";
    std::string renderError;
    bool rendered = RenderPdf(document, request.PdfFile, renderError);
    line.Outcome = OneLine(PrintOutcome(options, request, rendered, renderError));
    DeleteFileIfExists(request.PdfFile);
  } else {
    LogLine("PRINT: " + request.Printer + ": " + refusal);
  }

  LogVerbose("PRINT: " + FormatPrintJournalLine(line));
  if (options.AppDir.empty()) {
    LogLine("PRINT: ohne --appdir wird kein Druckjournal geschrieben.");
    return;
  }
  AppendLine(PrintJournalFileName(options.AppDir), FormatPrintJournalLine(line));
}

}  // namespace wb::server
