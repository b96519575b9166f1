// TLiveImportFrm: start-up, window events and the entries document.
#include "app/live_import_frm.h"

#include "app/program_info.h"
#include "client/busy_cursor.h"
#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "client/message_boxes.h"
#include "entries/entries_file.h"
#include "entries/entry_fields.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/ui_hooks.h"

namespace wb {
namespace {
constexpr int kEnterKey = 13;
constexpr const char* kSavingText = "Speichern";
constexpr const char* kIdleButtonText = "Los!";

// While the entries file is written (up to 100 attempts when it is locked or
// cannot be written) the window says so: busy cursor, and "Los!" disabled and
// showing "Speichern" unless an output run owns the button.
class SavingScope {
 public:
  SavingScope(IMainView& view, bool ownsButton) : view_(view), ownsButton_(ownsButton) {
    BusyCursorOn();
    if (!ownsButton_) return;
    view_.SetRunButtonEnabled(false);
    view_.SetRunButtonText(kSavingText);
  }
  ~SavingScope() {
    BusyCursorOff();
    if (!ownsButton_) return;
    view_.SetRunButtonEnabled(true);
    view_.SetRunButtonText(kIdleButtonText);
  }
  SavingScope(const SavingScope&) = delete;
  SavingScope& operator=(const SavingScope&) = delete;

 private:
  IMainView& view_;
  bool ownsButton_;
};

std::string MergedSaveText(const std::string& path) {
  return Ansi(
             u8"Die Einträge wurden seit dem Laden an anderer Stelle geändert (in einem anderen Fenster, durch "
             u8"einen Import oder ein anderes Programm). Ihre Änderung wurde mit diesem Stand zusammengeführt "
             u8"und gespeichert:\r\n") +
         path;
}

std::string UnsavedAtCloseText(const std::string& reason) {
  return Ansi(u8"Die Änderungen konnten nicht gespeichert werden:\r\n") + reason +
         Ansi(u8"\r\n\r\nNoch einmal versuchen? Mit „Nein“ werden die Änderungen verworfen.");
}

}  // namespace

TLiveImportFrm::TLiveImportFrm(IMainView& view, IServerLink& server, IFileOpener& opener,
                               std::vector<std::string> arguments)
    : view_(view), server_(server), opener_(opener), arguments_(std::move(arguments)) {
  DeleteOldFile = [](const std::string& path) { return DeleteFileRetry(path); };
}

TLiveImportFrm::~TLiveImportFrm() { FormDestroy(); }

void TLiveImportFrm::FormCreate() {
  view_.SetCaption(kMainCaption);
  server_.Detect();
  databaseFolder_ = server_.Read(kDatabasePathValue);
  if (databaseFolder_.empty()) {
    // No database: the window goes away again without a word. A desktop
    // shortcut's start has no window to go away, though: its user clicked an
    // icon and must learn why nothing comes.
    if (!arguments_.empty()) {
      MessageBoxes::ShowError(NotRunningText());
      exitCode_ = kExitNoServer;
    }
    view_.PostClose();
    return;
  }
  applicationFolder_ = server_.Read(kApplicationPathValue);
  view_.SetCaption(kCaptionPrefix + databaseFolder_);
  entriesFilePath_ = wb::EntriesFilePath(databaseFolder_);
  LoadEntries(0);
  RestoreSettings();
}

void TLiveImportFrm::FormShow() {
  if (OnFirstShow) {
    auto firstShow = std::move(OnFirstShow);
    OnFirstShow = nullptr;
    firstShow();
  }
}

void TLiveImportFrm::FormClose() {
  closing_ = true;
  platform::GetUiHooks().WakeUp();  // a run waiting for its PDF stops waiting
  AskToSaveAtClose();
  StoreSettings();
}

// The close is never vetoed: the list is written, or the user says to drop it.
void TLiveImportFrm::AskToSaveAtClose() {
  while (HasUnsavedChanges() && document_) {
    try {
      SaveEntriesNow(nullptr);
      return;
    } catch (const Exception& error) {
      if (!MessageBoxes::AskYesNo(UnsavedAtCloseText(error.what()), MessageIcon::Warning)) {
        savePending_ = saveFailed_ = false;
        return;
      }
    }
  }
}

void TLiveImportFrm::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  if (!overviewFile_.empty()) DeleteFileIfExists(overviewFile_);
  lines_.Clear();
  adoptedEntries_.clear();
  document_.reset();
}

void TLiveImportFrm::CheckDatabaseUnchanged() {
  std::string now = server_.Read(kDatabasePathValue);
  // A server that does not answer at all has not changed its database: it is gone.
  if (now.empty() && !server_.LastReadAnswered()) throw Exception(ServerGoneText());
  if (now != databaseFolder_) throw Exception("Datenbank wurde gewechselt!\r\n" + databaseFolder_ + "\r\n" + now);
}

TWBCustomJSON* TLiveImportFrm::SelectedEntry() const {
  int index = view_.SelectedIndex();
  if (index < 0 || index >= lines_.Count()) return nullptr;
  return static_cast<TWBCustomJSON*>(lines_.GetObject(index));
}

TWBCustomJSON* TLiveImportFrm::AdoptEntry(std::unique_ptr<TWBCustomJSON> entry) {
  adoptedEntries_.push_back(std::move(entry));
  return adoptedEntries_.back().get();
}

// ---- events ----

void TLiveImportFrm::DCCChange() { UpdateOpenPdfEnabled(); }

// "Öffnen" follows the selected entry, whoever selected it: only a PDF is opened.
void TLiveImportFrm::UpdateOpenPdfEnabled() {
  TWBCustomJSON* entry = SelectedEntry();
  if (entry == nullptr) return;
  view_.SetOpenPdfEnabled(EntryDestinationLower(*entry) == "pdf");
}

void TLiveImportFrm::DCCKeyDown(int key) {
  if (key == kEnterKey) Button1Click();
}

void TLiveImportFrm::Button1Click() { RunEntryOutput(nullptr); }

void TLiveImportFrm::LinkLabel1AnchorClick(const std::string& anchor) {
  if (anchor == "L") {
    if (OnCreateShortcut) OnCreateShortcut();
  } else if (OnEditEntry) {
    OnEditEntry();
  }
}

void TLiveImportFrm::LinkLabel2AnchorClick() {
  if (OnShowOverview) OnShowOverview();
}

void TLiveImportFrm::LinkLabel3AnchorClick() { RunCompletePdf(); }

// ---- entries ----

void TLiveImportFrm::ShowLines(int indexToSelect) {
  view_.SetEntryLines(lines_);
  if (indexToSelect >= 0 && indexToSelect < lines_.Count()) view_.SelectIndex(indexToSelect);
  else view_.SelectIndex(lines_.Count() > 0 ? 0 : -1);
  UpdateOpenPdfEnabled();
}

bool TLiveImportFrm::SelectEntryByKey(const std::string& key) {
  for (int line = 0; line < lines_.Count(); ++line) {
    auto* entry = static_cast<const TWBCustomJSON*>(lines_.GetObject(line));
    if (entry == nullptr || EntryKey(*entry) != key) continue;
    view_.SelectIndex(line);
    UpdateOpenPdfEnabled();
    return true;
  }
  return false;
}

void TLiveImportFrm::LoadEntries(int indexToSelect) {
  lines_.Clear();
  view_.SetEntryLines(lines_);
  adoptedEntries_.clear();
  document_.reset();
  document_ = LoadEntriesDocument(entriesFilePath_);
  if (FileExistsEx(entriesFilePath_) && !document_) {
    // The example document is about to replace the file and its backup: keep
    // the user's bytes first.
    PreserveDamagedEntries(entriesFilePath_);
    MessageBoxes::ShowInfo("Die Datei " + entriesFilePath_ + Ansi(u8" ist leider beschädigt!"));
  }
  EnsureEntriesDocument();
  loadedDocument_ = JSONCast<TWBJSON>(TWBCustomJSON::Clone(document_.get()));
  loadedBytes_ = ReadEntriesFileBytes(entriesFilePath_);
  BuildEntryLines(*document_, lines_);
  WriteEntriesFile(true);
  ShowLines(indexToSelect);
}

void TLiveImportFrm::EnsureEntriesDocument() {
  if (document_) {
    TWBSONList* items = EntryItems(document_.get());
    if (items != nullptr && items->ChildCount() > 0) return;
  }
  document_ = BuildExampleDocument();
  WriteEntriesFile(true);
  WriteEntriesFile(false);
}

void TLiveImportFrm::WriteEntriesFile(bool backup) {
  if (!document_) return;
  if (backup) {
    WriteDocumentFileIfChanged(*document_, EntriesBackupPath(entriesFilePath_));
  } else {
    WriteDocumentFile(*document_, entriesFilePath_);
  }
}

class TLiveImportFrm::BusyScope {
 public:
  explicit BusyScope(int& counter) : counter_(counter) { ++counter_; }
  ~BusyScope() { --counter_; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  int& counter_;
};

void TLiveImportFrm::SaveEntries(const TWBCustomJSON* keepSelected) {
  if (busy_ != 0) {
    // An output run waits for its PDF: the list is written when it ends.
    savePending_ = true;
    return;
  }
  SaveEntriesNow(keepSelected);
}

void TLiveImportFrm::WritePendingSave() {
  if (savePending_ && busy_ == 0 && !destroyed_) SaveEntriesNow(nullptr);
}

std::unique_ptr<TWBJSON> TLiveImportFrm::DocumentToSave(bool& merged) {
  merged = false;
  if (ReadEntriesFileBytes(entriesFilePath_) == loadedBytes_) return BuildSaveDocument(lines_, document_.get());
  std::unique_ptr<TWBJSON> theirs = LoadEntriesDocument(entriesFilePath_);
  // Gone or unreadable: nothing there to keep.
  if (!theirs) return BuildSaveDocument(lines_, document_.get());
  TStringList lines;
  MergeEntryLines(loadedDocument_.get(), lines_, theirs.get(), lines);
  merged = true;
  return BuildSaveDocument(lines, theirs.get());
}

void TLiveImportFrm::SaveEntriesNow(const TWBCustomJSON* keepSelected) {
  savePending_ = false;
  saveFailed_ = true;  // until the file holds the list
  SavingScope saving(view_, busy_ == 0);
  BusyScope busy(busy_);
  CheckDatabaseUnchanged();
  if (keepSelected == nullptr) keepSelected = SelectedEntry();
  const std::string keepKey = keepSelected ? EntryKey(*keepSelected) : std::string();
  const int selected = view_.SelectedIndex();
  bool merged = false;
  std::unique_ptr<TWBJSON> root = DocumentToSave(merged);
  // The list points into the document it was built from: rebuild it from the
  // new document before the old one goes, so a failing write below cannot
  // leave it pointing at freed entries.
  std::unique_ptr<TWBJSON> old = std::move(document_);
  document_ = std::move(root);
  BuildEntryLines(*document_, lines_);
  ShowLines(selected);
  if (!keepKey.empty()) SelectEntryByKey(keepKey);
  adoptedEntries_.clear();
  old.reset();
  WriteEntriesFile(true);
  WriteEntriesFile(false);
  saveFailed_ = false;
  LoadEntries(selected);
  // The rows are sorted anew: the selection stays with the entry, not the row.
  if (!keepKey.empty()) SelectEntryByKey(keepKey);
  if (merged) MessageBoxes::ShowInfo(MergedSaveText(entriesFilePath_));
}

bool TLiveImportFrm::UidExists(const std::string& uid) const { return wb::UidExists(document_.get(), uid); }

}  // namespace wb
