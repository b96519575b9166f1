// TSetupFrm: the entry editor "Print & PDF" without a toolkit. It fills the
// offered lists (printers from the server, document types, the layouts of the
// database folder), shows one entry's fields, keeps the dialog read-only until
// the user picks an action that allows editing, refreshes the paper bins when
// the printer changes and marks layout names that are not among the layouts
// found. The Qt dialog implements ISetupView and forwards its events here.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "json/wbjson.h"
#include "strings/string_list.h"

namespace wb {

// The dialog's fields, in the order the entry's members are filled.
enum class SetupField {
  Name,              // EName, "Info"
  FilterPOT,         // EFilter_POT, "Filter.POT"
  FilterOutput,      // EFilter_Output, "Filter.Output"
  FilterLayoutName,  // EFilter_LayoutName, "Filter.LayoutName"
  Destination,       // EDestination, "Destination"
  SuperLayoutname,   // ESuperLayoutname, "SuperLayoutname"
  LabelPrinter,      // ELabelPrinter, "LabelPrinter"
  Printer,           // DCC, "Defaultprinter"
  Bin,               // DCTRAY, "DefaultprinterBinName"
  Duplex,            // EDuplex, "DuplexType"
  Count,             // ECount, "Copies"
};
inline constexpr int kSetupFieldCount = 11;

// The entry member behind each field, indexed by SetupField.
extern const std::array<const char*, kSetupFieldCount> kSetupFieldMembers;
// The label before each field (UTF-8), indexed by SetupField.
extern const std::array<const char*, kSetupFieldCount> kSetupFieldLabels;

// The choices of the action list at the bottom of the dialog.
enum SetupAction : int {
  kActionNothing = 0,  // "Nichts änderbar": read-only
  kActionChange = 1,   // "Vorhandenen Eintrag ändern"
  kActionAddNew = 2,   // "Als neuen Eintrag übernehmen"
  kActionDelete = 3,   // "Diesen Eintrag löschen": read-only
};
// The action texts (8-bit), indexed by SetupAction.
std::vector<std::string> SetupActionTexts();

// What the user is shown in the name field by the "Beispieltext mit Bild
// einbauen" link: a picture of the renderer's image list and bold text.
inline constexpr const char* kExampleEntryName = "<IMG src=\"idx:0\" align=\"top \"> <b> Ihr Text (idx:0 bis 4) ";

// The window of the editor: fields, offered lists, the check box, the action list.
class ISetupView {
 public:
  virtual ~ISetupView() = default;
  virtual std::string FieldText(SetupField field) const = 0;
  virtual void SetFieldText(SetupField field, const std::string& text) = 0;
  // The drop-down's offered items; the field's text stays as it is.
  virtual void SetFieldItems(SetupField field, const std::vector<std::string>& items) = 0;
  virtual bool ForbiddenChecked() const = 0;
  virtual void SetForbiddenChecked(bool checked) = 0;
  // Every field but the action list read-only (plain fields, check box disabled) or editable.
  virtual void SetFieldsReadOnly(bool readOnly) = 0;
  // The layout fields' text colour: red for a name that is not among the layouts.
  virtual void SetFieldWarning(SetupField field, bool warning) = 0;
  virtual void SetActionItems(const std::vector<std::string>& items) = 0;
  virtual int ActionIndex() const = 0;
  virtual void SetActionIndex(int index) = 0;
};

// What the editor needs from its surroundings: server values (errors never
// raised, a silent server answers "") and showing a file in its folder.
struct TSetupServices {
  std::function<std::string(const std::string& command)> ReadServerValue;
  std::function<void(const std::string& path)> ShowInFolder;
  // A Yes/No question (8-bit text); unset: every question is answered Yes.
  std::function<bool(const std::string& question)> Confirm;
};

// Asked when the user goes back to "Nichts änderbar" after editing.
inline constexpr const char8_t* kDiscardEditsQuestion =
    u8"Ihre Änderungen in diesem Dialog verwerfen?\r\nMit „Nein“ bleiben sie stehen und können noch übernommen werden.";

class TSetupFrm {
 public:
  TSetupFrm(ISetupView& view, TSetupServices services);
  TSetupFrm(const TSetupFrm&) = delete;
  TSetupFrm& operator=(const TSetupFrm&) = delete;

  // Dialog events.
  void FormCreate();  // fills the offered lists
  void FormShow();    // read-only
  void FormDestroy();
  void ComboBoxActionChange();
  // The printer text changed: the bins of that printer, unless the fields are being filled.
  // Also marks the printer red when the server does not offer it, and the bin
  // red when that printer has no such bin (nothing is marked when the server
  // gave no printer list).
  void DCCChange();
  // The bin text changed: red when the printer has no such bin.
  void BinChange();
  // A key pressed in one of the editable fields: true when it must be discarded.
  bool DCCKeyPress() const { return readOnly_; }
  // A layout field's text changed: red when the name is not a layout found.
  void LayoutNameChange(SetupField field);
  void LinkLabel1AnchorClick();                           // the example name
  void LinkLabel2AnchorClick(const std::string& anchor);  // "O": the entries file in its folder

  void LoadFromEntry(const TWBCustomJSON& entry);
  void SetReadOnly(bool readOnly);
  bool ReadOnly() const { return readOnly_; }
  // The action list as the main window fills it: the four actions, "Nichts änderbar" chosen.
  void FillActions();
  int ChosenAction() const { return view_.ActionIndex(); }
  // Whether a field or the check box differs from what LoadFromEntry showed.
  bool FieldsChanged() const;

  void SetEntriesFilePath(const std::string& path) { entriesFilePath_ = path; }
  const std::string& EntriesFilePath() const { return entriesFilePath_; }
  ISetupView& View() { return view_; }
  const ISetupView& View() const { return view_; }

  // For tests: what the lists were filled with.
  const std::vector<std::string>& Printers() const { return printers_; }
  const std::vector<std::string>& Layouts() const { return layouts_; }
  bool Filling() const { return filling_ != 0; }

 private:
  void FillPrinters();
  void FillLayouts();
  std::vector<std::string> BinsOf(const std::string& printer) const;
  void UpdatePrinterWarnings();
  void ShowLoadedFields();

  ISetupView& view_;
  TSetupServices services_;
  std::unique_ptr<TWBCustomJSON> printersDocument_;
  bool readOnly_ = true;
  std::string entriesFilePath_;
  int filling_ = 0;  // the dialog's tag: 1 while LoadFromEntry fills the fields
  std::vector<std::string> printers_;
  std::vector<std::string> layouts_;
  TStringList layoutIndex_;
  // The fields as LoadFromEntry filled them, indexed by SetupField.
  std::array<std::string, kSetupFieldCount> loadedTexts_{};
  bool loadedForbidden_ = false;
  int lastAction_ = kActionNothing;  // the layouts again, for the case-insensitive match
};

// The document types offered for "Typname:": the stored names, lower-cased.
std::vector<std::string> OfferedDocumentTypes();
// A layout's name from its file: folder and extension dropped, "_SUPERLAYOUT" removed (any case).
std::string LayoutNameOfFile(const std::string& path);

// A modal editor dialog: its logic (with the view's fields) and showing it.
class ISetupDialog {
 public:
  virtual ~ISetupDialog() = default;
  virtual TSetupFrm& Form() = 0;
  // Shows the dialog modally (the form's FormShow first) and returns when it is closed.
  virtual void ShowModal() = 0;
};

// Creates the editor dialog; its FormCreate has run when it is handed back.
using SetupDialogFactory = std::function<std::unique_ptr<ISetupDialog>(TSetupServices services)>;

}  // namespace wb
