// TLiveImportFrm: start-up, window events and the entries document.
#include "app/live_import_frm.h"

#include "app/message_boxes.h"
#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "entries/entries_file.h"
#include "entries/entry_fields.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/ui_hooks.h"

namespace wb {
namespace {
constexpr int kEnterKey = 13;

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
    // No database: the window goes away again without a word.
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
  StoreSettings();
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
  if (now != databaseFolder_)
    throw Exception("Datenbank wurde gewechselt!\r\n" + databaseFolder_ + "\r\n" + now);
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

void TLiveImportFrm::DCCChange() {
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
    MessageBoxes::ShowInfo("Die Datei " + entriesFilePath_ + Ansi(" ist leider beschädigt!"));
  }
  EnsureEntriesDocument();
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

void TLiveImportFrm::SaveEntries() {
  if (busy_ != 0) return;
  BusyScope busy(busy_);
  CheckDatabaseUnchanged();
  std::unique_ptr<TWBJSON> root = BuildSaveDocument(lines_, document_.get());
  const int selected = view_.SelectedIndex();
  // The list points into the document it was built from: rebuild it from the
  // new document before the old one goes, so a failing write below cannot
  // leave it pointing at freed entries.
  std::unique_ptr<TWBJSON> old = std::move(document_);
  document_ = std::move(root);
  BuildEntryLines(*document_, lines_);
  ShowLines(selected);
  adoptedEntries_.clear();
  old.reset();
  WriteEntriesFile(true);
  WriteEntriesFile(false);
  LoadEntries(selected);
}

bool TLiveImportFrm::UidExists(const std::string& uid) const { return wb::UidExists(document_.get(), uid); }

}  // namespace wb
