// The output run: one entry's PDF or printout for the open order, and the
// complete PDF of the order.
#include <functional>

#include "app/live_import_frm.h"
#include "app/wait_for_file.h"
#include "client/busy_cursor.h"
#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "client/message_boxes.h"
#include "entries/entry_fields.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "strings/strutils.h"

namespace wb {
namespace {

std::string PdfNotDeliveredText(const std::string& pdfPath) {
  return FormatMessageText(Ansi(u8"Die PDF-Datei\r\n%s\r\nist nicht entstanden: Werkbank hat sie nicht geliefert. "
                                u8"Bitte prüfen Sie, ob Werkbank läuft und den Auftrag ausgeben kann, und "
                                u8"versuchen Sie es noch einmal."),
                           pdfPath);
}

constexpr const char* kRunButtonText = "Los!";
constexpr const char8_t* kDeletingText = u8"Löschen";
constexpr const char* kWaitingText = "Warten";
constexpr const char8_t* kOpeningText = u8"Öffnen";
constexpr const char8_t* kHandedOverText = u8"Übergeben";
constexpr const char* kPdfExtension = ".pdf";
constexpr int kBeforeOpenPauseMs = 200;

struct OutputCommand {
  const char* destination;
  const char* command;
};
// Lower-cased "Destination" -> the server command.
constexpr OutputCommand kOutputCommands[] = {{"pdf", "CREATEPDF"}, {"print", "PRINT"}};

// Every way out of a run puts the window back: cursor, counter, button.
class RunScope {
 public:
  RunScope(int& busy, IMainView& view) : busy_(busy), view_(view) {
    busy_ = 1;
    view_.SetRunButtonEnabled(false);
  }
  ~RunScope() {
    if (cursorOn_) BusyCursorOff();
    busy_ = 0;
    view_.SetRunButtonEnabled(true);
    view_.SetRunButtonText(kRunButtonText);
  }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;
  void CursorOn() {
    BusyCursorOn();
    cursorOn_ = true;
  }

 private:
  int& busy_;
  IMainView& view_;
  bool cursorOn_ = false;
};

}  // namespace

std::string TLiveImportFrm::GetPdfFolder() {
  std::string folder = AddTrailingBackslash(AddTrailingBackslash(GetShellFolder(platform::kCsidlDesktop)) +
                                            kPdfFolderName + platform::kPathDelimiter);
  ForceDirs(folder);
  return folder;
}

std::string TLiveImportFrm::SpoolFilePath(const std::string& pdfPath) const {
  const char d = platform::kPathDelimiter;
  return applicationFolder_ + "SPOOLER" + d + "PDFX" + d + ExtractFileName(pdfPath);
}

std::string TLiveImportFrm::GetOrderPdfName() {
  std::unique_ptr<TWBCustomJSON> reply = TWBJSONText::Parse(server_.Read("SIMPLEGETJSON"));
  if (!reply) return {};
  TWBCustomJSON* order = reply->MemberByName("Order");
  if (order == nullptr || order->ChildCount() == 0) return {};
  TWBCustomJSON* first = order->ChildAt(0);
  if (first == nullptr) return {};
  return MakeSafeFileName(first->StringByName("PrintName") + " " + first->StringByName("PrintUID"), false);
}

bool TLiveImportFrm::RemoveOldFile(const std::string& path) {
  if (DeleteOldFile(path)) return true;
  // A stale file would be taken for the new one: stop before anything is sent.
  MessageBoxes::ShowInfo(FormatMessageText(
      Ansi(u8"Die alte Datei\r\n%s\r\nkann nicht gelöscht werden, vermutlich ist sie noch in einem anderen "
           u8"Programm geöffnet. Bitte schließen Sie sie und versuchen Sie es noch einmal."),
      path));
  return false;
}

// The server's PDF may never come (it cannot write it, or it is gone): then
// there is nothing to open, and the user must learn that instead of seeing an
// opener fail on a file that does not exist, or nothing at all.
void TLiveImportFrm::FinishPdfRun(const std::string& pdfPath, const std::string& spoolPath, PdfHandling handling) {
  view_.SetRunButtonText(kWaitingText);
  // After a time-out the run goes on all the same. When the window is closed
  // meanwhile the program is ending: the run ends at once and opens or shows
  // nothing, since the PDF is not there yet (the server still writes it).
  if (AwaitFile(spoolPath, kPdfWaitMs, [this] { return closing_; }) == FileWait::Quitting) return;
  if (!FileExistsEx(pdfPath)) {
    MessageBoxes::ShowError(PdfNotDeliveredText(pdfPath));
    return;
  }
  if (handling == PdfHandling::Open || view_.OpenPdfChecked()) {
    view_.SetRunButtonText(Ansi(kOpeningText));
    WaitProcessingMessages(kBeforeOpenPauseMs);
    opener_.OpenInBackground(pdfPath);
  } else {
    opener_.ShowInFolder(pdfPath);
  }
}

// A list change saved while the run waited is written as soon as the run is
// over, also when the run ends with an error (which is then passed on).
template <typename Run>
void RunThenWritePendingSave(Run run, const std::function<void()>& writePending) {
  try {
    run();
  } catch (...) {
    try {
      writePending();
    } catch (const Exception& error) {
      MessageBoxes::ShowError(error.what());
    }
    throw;
  }
  writePending();
}

void TLiveImportFrm::RunEntryOutput(TWBCustomJSON* entry, PdfHandling handling) {
  if (busy_ != 0) return;
  RunThenWritePendingSave([&] { RunEntryOutputNow(entry, handling); }, [this] { WritePendingSave(); });
}

void TLiveImportFrm::RunCompletePdf() {
  if (busy_ != 0) return;
  RunThenWritePendingSave([&] { RunCompletePdfNow(); }, [this] { WritePendingSave(); });
}

void TLiveImportFrm::RunEntryOutputNow(TWBCustomJSON* entry, PdfHandling handling) {
  RunScope run(busy_, view_);
  CheckDatabaseUnchanged();
  if (entry == nullptr) entry = SelectedEntry();
  if (entry == nullptr) return;
  std::unique_ptr<TWBCustomJSON> copy = TWBCustomJSON::Clone(entry);
  if (!copy) return;
  run.CursorOn();

  const std::string destination = EntryDestinationLower(*copy);
  const char* command = nullptr;
  for (const OutputCommand& known : kOutputCommands)
    if (destination == known.destination) command = known.command;
  if (command == nullptr) {
    MessageBoxes::ShowInfo("Dieser Eintrag kann nicht von hier erzeugt werden.");
    return;
  }

  const bool pdf = destination == "pdf";
  std::string pdfPath, spoolPath;
  if (pdf) {
    std::string name = GetOrderPdfName();
    if (name.empty()) {
      MessageBoxes::ShowInfo("Auftrag nicht sichtbar!");
      return;
    }
    pdfPath = GetPdfFolder() + name + kPdfExtension;
    if (!RemoveOldFile(pdfPath)) return;
    copy->SetStringByName(entry_keys::PDFFileName, pdfPath);
    view_.SetRunButtonText(Ansi(kDeletingText));
    spoolPath = SpoolFilePath(pdfPath);
    if (!RemoveOldFile(spoolPath)) return;
  }
  server_.Write(command, TWBJSONText::Generate(copy.get()));
  if (pdf) {
    FinishPdfRun(pdfPath, spoolPath, handling);
  } else {
    // A printout shows nothing on the screen: the button says it went out.
    view_.SetRunButtonText(Ansi(kHandedOverText));
    if (PrintHandedOverMs > 0) WaitProcessingMessages(static_cast<unsigned>(PrintHandedOverMs));
  }
}

void TLiveImportFrm::RunCompletePdfNow() {
  RunScope run(busy_, view_);
  run.CursorOn();
  auto request = std::make_unique<TWBJSON>();
  CheckDatabaseUnchanged();
  std::string name = GetOrderPdfName();
  if (name.empty()) {
    MessageBoxes::ShowInfo("Auftrag nicht sichtbar!");
    return;
  }
  const std::string pdfPath = GetPdfFolder() + name + kPdfExtension;
  if (!RemoveOldFile(pdfPath)) return;
  request->SetStringByName(entry_keys::PDFFileName, pdfPath);
  view_.SetRunButtonText(Ansi(kDeletingText));
  const std::string spoolPath = SpoolFilePath(pdfPath);
  if (!RemoveOldFile(spoolPath)) return;
  server_.Write("CURRENTPDF", TWBJSONText::Generate(request.get()));
  FinishPdfRun(pdfPath, spoolPath, PdfHandling::AsChecked);
}

}  // namespace wb
