// TSetupFrm: the entry editor's lists, fields, read-only state and bins.
#include "entries/setup_form.h"

#include <algorithm>

#include "client/client_dirs.h"
#include "client/find_file.h"
#include "entries/entry_fields.h"
#include "platform/codepage.h"
#include "strings/strutils.h"

namespace wb {
namespace {

constexpr const char* kLayoutMask = "*.da1";
constexpr const char* kSuperLayoutMark = "_SUPERLAYOUT";

// Lower case through the code page's case table, so "Ä" becomes "ä" too.
std::string LowerCp1252(std::string text) {
  const auto& upper = Cp1252UpperCaseTable();
  const auto& swap = Cp1252CaseSwapTable();
  for (char& c : text) {
    auto byte = static_cast<uint8_t>(c);
    if (upper[byte] == byte && swap[byte] != byte) c = static_cast<char>(swap[byte]);
  }
  return text;
}

}  // namespace

const std::array<const char*, kSetupFieldCount> kSetupFieldMembers = {
    entry_keys::Info,
    entry_keys::FilterPOT,
    entry_keys::FilterOutput,
    entry_keys::FilterLayoutName,
    entry_keys::Destination,
    entry_keys::SuperLayoutname,
    entry_keys::LabelPrinter,
    entry_keys::Defaultprinter,
    entry_keys::DefaultprinterBinName,
    entry_keys::DuplexType,
    entry_keys::Copies,
};

const std::array<const char*, kSetupFieldCount> kSetupFieldLabels = {
    "Name:",       "Typname:", "Ausgabeziel:", "Layout:", "Ziel:",   "Layout:",
    "Top/Bottom:", "Drucker:", "Schacht:",     "Duplex:", "Anzahl:",
};

std::vector<std::string> SetupActionTexts() {
  return {Ansi(u8"Nichts änderbar"), Ansi(u8"Vorhandenen Eintrag ändern"), Ansi(u8"Als neuen Eintrag übernehmen"),
          Ansi(u8"Diesen Eintrag löschen")};
}

std::vector<std::string> OfferedDocumentTypes() {
  std::vector<std::string> types;
  for (const char8_t* type : kDocumentTypes) types.push_back(LowerCp1252(Ansi(type)));
  return types;
}

std::string LayoutNameOfFile(const std::string& path) {
  std::string name = ExtractFileName(path);
  const std::string extension = ExtractFileExt(name);
  name.resize(name.size() - extension.size());
  ReplaceAllText(name, kSuperLayoutMark, "");
  return name;
}

TSetupFrm::TSetupFrm(ISetupView& view, TSetupServices services) : view_(view), services_(std::move(services)) {}

void TSetupFrm::FormCreate() {
  FillPrinters();
  view_.SetFieldItems(SetupField::FilterPOT, OfferedDocumentTypes());
  FillLayouts();
  view_.SetFieldItems(SetupField::FilterOutput, {"mail", "print"});
  view_.SetFieldItems(SetupField::Destination, {"pdf", "print"});
  view_.SetFieldItems(SetupField::LabelPrinter, {"", "top", "bottom", "top bottom"});
  view_.SetFieldItems(SetupField::Duplex, {"", "horizontal", "vertical"});
  view_.SetFieldItems(SetupField::Count, {"1", "2", "3"});
}

void TSetupFrm::FillPrinters() {
  const std::string reply = services_.ReadServerValue ? services_.ReadServerValue("PRINTERS") : std::string();
  printersDocument_ = TWBJSONText::Parse(reply);
  printers_.clear();
  if (printersDocument_) {
    if (TWBCustomJSON* printers = printersDocument_->MemberByName("Printers")) {
      for (int32_t i = 0; i < printers->ChildCount(); ++i)
        if (TWBCustomJSON* printer = printers->ChildAt(i)) printers_.push_back(printer->StringByName("Name"));
    }
  }
  view_.SetFieldItems(SetupField::Printer, printers_);
}

void TSetupFrm::FillLayouts() {
  const std::string folder = services_.ReadServerValue ? services_.ReadServerValue("DBPATH") : std::string();
  TStringList files;
  CollectFiles(folder, kLayoutMask, files, false);
  // A layout and its super layout give one name: offered once, in order.
  TStringList names;
  for (int i = 0; i < files.Count(); ++i) names.Add(LayoutNameOfFile(files[i]));
  SortStringsNatural(names);
  layouts_.clear();
  layoutIndex_.Clear();
  for (int i = 0; i < names.Count(); ++i) {
    if (layoutIndex_.IndexOf(names[i]) >= 0) continue;  // the same name in another case counts as one
    layouts_.push_back(names[i]);
    layoutIndex_.Add(names[i]);
  }
  view_.SetFieldItems(SetupField::FilterLayoutName, layouts_);
  view_.SetFieldItems(SetupField::SuperLayoutname, layouts_);
}

void TSetupFrm::FormShow() { SetReadOnly(true); }

void TSetupFrm::FormDestroy() { printersDocument_.reset(); }

void TSetupFrm::ComboBoxActionChange() {
  const int action = view_.ActionIndex();
  const bool wasEditing = lastAction_ == kActionChange || lastAction_ == kActionAddNew;
  if (action == kActionNothing && wasEditing && FieldsChanged()) {
    if (services_.Confirm && !services_.Confirm(Ansi(kDiscardEditsQuestion))) {
      view_.SetActionIndex(lastAction_);  // the edits stay, still editable
      return;
    }
    ShowLoadedFields();  // what the dialog shows is what stays stored
  }
  lastAction_ = action;
  SetReadOnly(action != kActionChange && action != kActionAddNew);
}

bool TSetupFrm::FieldsChanged() const {
  for (int field = 0; field < kSetupFieldCount; ++field)
    if (view_.FieldText(static_cast<SetupField>(field)) != loadedTexts_[static_cast<size_t>(field)]) return true;
  return view_.ForbiddenChecked() != loadedForbidden_;
}

void TSetupFrm::ShowLoadedFields() {
  filling_ = 1;
  for (int field = 0; field < kSetupFieldCount; ++field)
    view_.SetFieldText(static_cast<SetupField>(field), loadedTexts_[static_cast<size_t>(field)]);
  view_.SetForbiddenChecked(loadedForbidden_);
  filling_ = 0;
  UpdatePrinterWarnings();
}

std::vector<std::string> TSetupFrm::BinsOf(const std::string& printer) const {
  std::vector<std::string> bins;
  if (!printersDocument_) return bins;
  TWBCustomJSON* printers = printersDocument_->MemberByName("Printers");
  if (printers == nullptr) return bins;
  for (int32_t i = 0; i < printers->ChildCount(); ++i) {
    TWBCustomJSON* candidate = printers->ChildAt(i);
    if (candidate == nullptr || candidate->StringByName("Name") != printer) continue;
    TWBCustomJSON* candidateBins = candidate->MemberByName("Bins");
    if (candidateBins == nullptr) continue;
    for (int32_t b = 0; b < candidateBins->ChildCount(); ++b)
      if (TWBCustomJSON* bin = candidateBins->ChildAt(b)) bins.push_back(bin->StringByName("Bin"));
  }
  return bins;
}

void TSetupFrm::DCCChange() {
  UpdatePrinterWarnings();
  // While an entry is being shown its stored bin stays as it is; the list of
  // bins follows only what the user does with the printer.
  if (filling_ == 1) return;
  view_.SetFieldItems(SetupField::Bin, BinsOf(view_.FieldText(SetupField::Printer)));
}

void TSetupFrm::BinChange() { UpdatePrinterWarnings(); }

void TSetupFrm::UpdatePrinterWarnings() {
  const std::string printer = view_.FieldText(SetupField::Printer);
  const std::string bin = view_.FieldText(SetupField::Bin);
  auto holds = [](const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
  };
  const bool judged = !printers_.empty() && !printer.empty();
  const bool printerOffered = !judged || holds(printers_, printer);
  view_.SetFieldWarning(SetupField::Printer, !printerOffered);
  view_.SetFieldWarning(SetupField::Bin, judged && printerOffered && !bin.empty() && !holds(BinsOf(printer), bin));
}

void TSetupFrm::LayoutNameChange(SetupField field) {
  const std::string text = view_.FieldText(field);
  view_.SetFieldWarning(field, !text.empty() && layoutIndex_.IndexOf(text) < 0);
}

void TSetupFrm::LinkLabel1AnchorClick() { view_.SetFieldText(SetupField::Name, kExampleEntryName); }

void TSetupFrm::LinkLabel2AnchorClick(const std::string& anchor) {
  if (anchor == "O" && services_.ShowInFolder) services_.ShowInFolder(entriesFilePath_);
}

void TSetupFrm::LoadFromEntry(const TWBCustomJSON& entry) {
  filling_ = 1;
  struct FillingEnd {
    int& filling;
    ~FillingEnd() { filling = 0; }
  } end{filling_};
  for (int field = 0; field < kSetupFieldCount; ++field) {
    const auto which = static_cast<SetupField>(field);
    const std::string text = which == SetupField::Count
                                 ? std::to_string(EntryCopies(entry))
                                 : entry.StringByName(kSetupFieldMembers[static_cast<size_t>(field)]);
    view_.SetFieldText(which, text);
    // As the view holds it (a toolkit may keep a text otherwise than given).
    loadedTexts_[static_cast<size_t>(field)] = view_.FieldText(which);
  }
  view_.SetForbiddenChecked(EntryForbidden(entry));
  UpdatePrinterWarnings();
  loadedForbidden_ = view_.ForbiddenChecked();
}

void TSetupFrm::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  view_.SetFieldsReadOnly(readOnly);
}

void TSetupFrm::FillActions() {
  view_.SetActionItems(SetupActionTexts());
  view_.SetActionIndex(kActionNothing);
  lastAction_ = kActionNothing;
}

}  // namespace wb
