// TLiveImportFrm: the main window's behaviour without a toolkit. Start-up
// against the server, the entries document and its list, the output run, the
// remembered settings. The Qt window forwards its events here and shows what
// the logic sets through IMainView.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/file_opener.h"
#include "app/main_view.h"
#include "app/server_link.h"
#include "json/wbjson.h"
#include "strings/string_list.h"

namespace wb {

inline constexpr const char* kDatabasePathValue = "DBPATH";
inline constexpr const char* kApplicationPathValue = "APPPATH";
inline constexpr const char* kMainCaption = "Mehrfachausgabe";
inline constexpr const char* kCaptionPrefix = "Datenbank: ";
inline constexpr const char* kPdfFolderName = "WerkbankQuery.Mehrfachausgabe";
inline constexpr const char* kSettingsFileName = "Sonderdruck.V1.LocalSetup.txt";

// What a PDF run does with the finished PDF: what "Öffnen" says, or open it
// whatever the check box says (the preview of a print entry).
enum class PdfHandling { AsChecked, Open };

class TLiveImportFrm {
 public:
  TLiveImportFrm(IMainView& view, IServerLink& server, IFileOpener& opener, std::vector<std::string> arguments = {});
  ~TLiveImportFrm();
  TLiveImportFrm(const TLiveImportFrm&) = delete;
  TLiveImportFrm& operator=(const TLiveImportFrm&) = delete;

  // Window events.
  void FormCreate();
  void FormShow();
  void FormClose();
  void FormDestroy();
  void DCCChange();                                       // the user picked another entry
  void DCCKeyDown(int key);                               // Enter (13) runs the selected entry
  void Button1Click();                                    // "Los!"
  void LinkLabel1AnchorClick(const std::string& anchor);  // "E" editor, "L" shortcut
  void LinkLabel2AnchorClick();                           // overview page
  void LinkLabel3AnchorClick();                           // complete PDF

  // Start-up and the database check.
  void CheckDatabaseUnchanged();

  // The output run.
  void RunEntryOutput(TWBCustomJSON* entry = nullptr, PdfHandling handling = PdfHandling::AsChecked);
  void RunCompletePdf();
  std::string GetOrderPdfName();
  std::string GetPdfFolder();
  std::string SpoolFilePath(const std::string& pdfPath) const;

  // The entries document.
  void LoadEntries(int indexToSelect);
  // Writes the list to the entries file and reloads it; the selection stays on
  // keepSelected (nullptr: the entry selected now). While an output run holds
  // the busy counter the list is written when the run ends, or at the latest
  // when the window closes. A file that another window or program wrote since
  // it was loaded is merged with, never overwritten blindly.
  void SaveEntries(const TWBCustomJSON* keepSelected = nullptr);
  // The list holds changes that are not in the entries file (a save that
  // waits for a run, or one that failed).
  bool HasUnsavedChanges() const { return savePending_ || saveFailed_; }
  void WriteEntriesFile(bool backup);
  void EnsureEntriesDocument();
  bool UidExists(const std::string& uid) const;

  // Selects the line of the entry with this key (EntryKey); false when none has it.
  bool SelectEntryByKey(const std::string& key);

  // The process's exit status: not 0 when a direct start found no server.
  int ExitCode() const { return exitCode_; }

  // Settings.
  void RestoreSettings();
  void StoreSettings();
  static std::string SettingsFilePath();

  // Hooks for the features that build on the main window (editor, shortcut,
  // overview page, direct start); unset hooks do nothing.
  std::function<void()> OnEditEntry;
  std::function<void()> OnCreateShortcut;
  std::function<void()> OnShowOverview;
  std::function<void()> OnFirstShow;

  // State, for the features above and for tests.
  IMainView& View() { return view_; }
  IServerLink& Server() { return server_; }
  IFileOpener& Opener() { return opener_; }
  const std::vector<std::string>& Arguments() const { return arguments_; }
  TStringList& Lines() { return lines_; }
  TWBJSON* Document() const { return document_.get(); }
  // The selected line's entry, nullptr when nothing is selected.
  TWBCustomJSON* SelectedEntry() const;
  // Keeps an entry that a list line points at until the next load (imports).
  TWBCustomJSON* AdoptEntry(std::unique_ptr<TWBCustomJSON> entry);
  int BusyCount() const { return busy_; }
  const std::string& DatabaseFolder() const { return databaseFolder_; }
  const std::string& ApplicationFolder() const { return applicationFolder_; }
  const std::string& EntriesFilePath() const { return entriesFilePath_; }
  std::string& OverviewFile() { return overviewFile_; }

  // Test seam: how old PDF and spool files are removed (DeleteFileRetry).
  std::function<bool(const std::string&)> DeleteOldFile;
  // How long "Los!" shows that a print entry went to the server.
  int PrintHandedOverMs = 1000;

 private:
  class BusyScope;
  void ShowLines(int indexToSelect);
  void UpdateOpenPdfEnabled();
  void SaveEntriesNow(const TWBCustomJSON* keepSelected);
  std::unique_ptr<TWBJSON> DocumentToSave(bool& merged);
  void WritePendingSave();
  void AskToSaveAtClose();
  void RunEntryOutputNow(TWBCustomJSON* entry, PdfHandling handling);
  void RunCompletePdfNow();
  void FinishPdfRun(const std::string& pdfPath, const std::string& spoolPath, PdfHandling handling);
  bool RemoveOldFile(const std::string& path);

  IMainView& view_;
  IServerLink& server_;
  IFileOpener& opener_;
  std::vector<std::string> arguments_;

  int busy_ = 0;
  std::string databaseFolder_;
  std::string applicationFolder_;
  std::string overviewFile_;
  std::unique_ptr<TWBJSON> document_;
  // The document and the file's bytes as last loaded or written: what a save
  // compares the file with, and merges against when it changed meanwhile.
  std::unique_ptr<TWBJSON> loadedDocument_;
  std::string loadedBytes_;
  bool savePending_ = false;  // a save waits for the output run to end
  bool saveFailed_ = false;   // the last save could not write the file
  int exitCode_ = 0;
  std::string entriesFilePath_;
  TStringList lines_;
  std::vector<std::unique_ptr<TWBCustomJSON>> adoptedEntries_;
  bool destroyed_ = false;
  bool closing_ = false;  // FormClose ran: the program is ending
};

}  // namespace wb
