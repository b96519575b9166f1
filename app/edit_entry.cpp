// EditSelectedEntry and StoreEditorFields: the editor's actions on the list.
#include "app/edit_entry.h"

#include <charconv>

#include "client/message_boxes.h"
#include "entries/entries_file.h"
#include "entries/entry_fields.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "strings/strutils.h"

namespace wb {
namespace {

// The list changed: it is written (while an output run holds the busy counter,
// when the run ends), and the window shows it as it now is, or a row would run
// another line's entry.
void SaveAndShow(TLiveImportFrm& frm, int indexToSelect, const TWBCustomJSON* keepSelected) {
  frm.SaveEntries(keepSelected);
  if (frm.BusyCount() == 0) return;
  frm.View().SetEntryLines(frm.Lines());
  const int count = frm.Lines().Count();
  frm.View().SelectIndex(indexToSelect >= 0 && indexToSelect < count ? indexToSelect : (count > 0 ? 0 : -1));
  if (keepSelected != nullptr) frm.SelectEntryByKey(EntryKey(*keepSelected));
}

// Shows the dialog until it is closed with an action that can be carried out:
// a name that is empty as plain text is refused, and the dialog comes back
// with everything the user typed.
int ShowUntilUsable(ISetupDialog& dialog) {
  TSetupFrm& form = dialog.Form();
  for (;;) {
    dialog.ShowModal();
    const int action = form.ChosenAction();
    const bool stores = (action == kActionChange && form.FieldsChanged()) || action == kActionAddNew;
    if (!stores || NameFieldUsable(form)) return action;
    MessageBoxes::ShowInfo(Ansi(kEmptyNameText));
  }
}

}  // namespace

std::string ConfirmDeleteText(const std::string& plainName) {
  return FormatMessageText(Ansi(u8"Eintrag „%s“ löschen?"), plainName);
}

bool NameFieldUsable(const TSetupFrm& form) {
  std::string name = form.View().FieldText(SetupField::Name);
  StripHTMLMarkup(name);
  return !name.empty();
}

int32_t CopiesFromText(const std::string& text) {
  size_t start = 0;
  while (start < text.size() && text[start] == ' ') ++start;  // leading blanks count as nothing
  const char* first = text.data() + start;
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') ++first;
  int32_t value = 0;
  auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end != last || first == last) return 1;
  return value;
}

TSetupServices SetupServicesOf(TLiveImportFrm& frm) {
  TSetupServices services;
  services.ReadServerValue = [&frm](const std::string& command) { return frm.Server().Read(command); };
  services.ShowInFolder = [&frm](const std::string& path) { frm.Opener().ShowInFolder(path); };
  services.Confirm = [](const std::string& question) { return MessageBoxes::AskYesNo(question, MessageIcon::Warning); };
  return services;
}

TWBCustomJSON* StoreEditorFields(TLiveImportFrm& frm, const TSetupFrm& dialog, TWBCustomJSON* entry) {
  TWBSONList* items = EntryItems(frm.Document());
  if (items == nullptr) return nullptr;
  TWBCustomJSON* created = nullptr;
  if (entry == nullptr) {
    created = items->AppendAndGet(std::make_unique<TWBJSON>());
    entry = created;
  }
  const ISetupView& view = dialog.View();
  for (int field = 0; field < kSetupFieldCount; ++field) {
    const auto which = static_cast<SetupField>(field);
    const char* member = kSetupFieldMembers[static_cast<size_t>(field)];
    // Texts are stored exactly as typed: no trimming, no case change.
    if (which == SetupField::Count) entry->SetIntegerByName(member, CopiesFromText(view.FieldText(which)));
    else entry->SetStringByName(member, view.FieldText(which));
  }
  entry->SetBooleanByName(entry_keys::Forbidden, view.ForbiddenChecked());
  if (auto* object = JSONAs<TWBJSON>(entry)) EnsureEntryUid(*object);
  return created;
}

void EditSelectedEntry(TLiveImportFrm& frm, const SetupDialogFactory& makeDialog) {
  const int index = frm.View().SelectedIndex();
  TWBCustomJSON* entry = frm.SelectedEntry();
  if (entry == nullptr) {
    frm.Opener().ShowInFolder(frm.EntriesFilePath());
    return;
  }
  std::unique_ptr<ISetupDialog> dialog = makeDialog(SetupServicesOf(frm));
  TSetupFrm& form = dialog->Form();
  form.LoadFromEntry(*entry);
  form.SetEntriesFilePath(frm.EntriesFilePath());
  form.FillActions();

  // The action chosen when the dialog was closed counts, not one picked before.
  const int action = ShowUntilUsable(*dialog);
  if (action != kActionChange && action != kActionAddNew && action != kActionDelete) return;
  // The list may have been replaced while the dialog was open (a save from a
  // nested event): act only on the line the dialog was opened for.
  if (index >= frm.Lines().Count() || frm.Lines().GetObject(index) != entry) return;

  switch (action) {
    case kActionChange:
      if (!form.FieldsChanged()) return;  // nothing to take over: no question
      if (!MessageBoxes::AskYesNo(Ansi(kConfirmChange), MessageIcon::Information)) return;
      StoreEditorFields(frm, form, entry);
      frm.Lines().Put(index, EntryDisplayText(*entry));
      SaveAndShow(frm, index, entry);
      break;
    case kActionAddNew: {
      if (!MessageBoxes::AskYesNo(Ansi(kConfirmAddNew), MessageIcon::Information)) return;
      TWBCustomJSON* created = StoreEditorFields(frm, form, nullptr);
      if (created == nullptr) return;
      frm.Lines().AddObject(EntryDisplayText(*created), created);
      SaveAndShow(frm, index, created);
      break;
    }
    case kActionDelete:
      if (!MessageBoxes::AskYesNo(ConfirmDeleteText(EntryPlainName(*entry)), MessageIcon::Warning)) return;
      frm.Lines().Delete(index);
      SaveAndShow(frm, index, nullptr);
      break;
    default: break;
  }
}

}  // namespace wb
