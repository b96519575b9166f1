// The entry list's context menu.
#include "app/entry_menu.h"

#include "app/entry_preview.h"
#include "app/live_import_frm.h"
#include "app/save_file_dialog.h"
#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "client/message_boxes.h"
#include "entries/entries_export.h"
#include "entries/entries_file.h"
#include "entries/entry_fields.h"
#include "platform/codepage.h"

namespace wb {
namespace {

void ExportEntries(TLiveImportFrm& frm, const std::vector<const TWBCustomJSON*>& entries, const std::string& fileName) {
  if (entries.empty()) return;
  const std::string path = SaveFileDialogs::Ask(Ansi(u8"Einträge exportieren"), ExportDefaultPath(fileName));
  if (path.empty()) return;
  if (FileExistsEx(path) &&
      !MessageBoxes::AskYesNo(FormatMessageText(Ansi(u8"Die Datei „%s“ gibt es schon. Ersetzen?"), path),
                              MessageIcon::Warning))
    return;
  WriteEntriesExport(entries, path, true);
  MessageBoxes::ShowInfo(
      std::to_string(entries.size()) +
      FormatMessageText(
          Ansi(entries.size() == 1 ? u8" Eintrag nach „%s“ exportiert." : u8" Einträge nach „%s“ exportiert."), path));
}

// All entries, in the order the entries file holds them.
std::vector<const TWBCustomJSON*> StoredEntries(TLiveImportFrm& frm) {
  std::vector<const TWBCustomJSON*> entries;
  if (TWBSONList* items = EntryItems(frm.Document()))
    for (int32_t i = 0; i < items->ChildCount(); ++i)
      if (JSONAs<TWBJSON>(items->ChildAt(i)) != nullptr) entries.push_back(items->ChildAt(i));
  return entries;
}

}  // namespace

std::string ExportDefaultPath(const std::string& fileName) {
  return GetShellFolder(platform::kCsidlPersonal) + fileName;
}

std::vector<TEntryMenuItem> EntryMenuItems(TLiveImportFrm& frm) {
  const TWBCustomJSON* selected = frm.SelectedEntry();
  return {
      {EntryMenuAction::ExportSelected, Ansi(u8"Eintrag exportieren …"), selected != nullptr},
      {EntryMenuAction::ExportAll, Ansi(u8"Alle Einträge exportieren …"), frm.Lines().Count() > 0},
      {EntryMenuAction::Preview, "Vorschau als PDF", selected != nullptr && IsPrintEntry(*selected)},
  };
}

void RunEntryMenuAction(TLiveImportFrm& frm, EntryMenuAction action) {
  switch (action) {
    case EntryMenuAction::ExportSelected:
      if (const TWBCustomJSON* entry = frm.SelectedEntry()) ExportEntries(frm, {entry}, ExportFileNameOf(*entry));
      break;
    case EntryMenuAction::ExportAll: ExportEntries(frm, StoredEntries(frm), Ansi(kExportAllFileName)); break;
    case EntryMenuAction::Preview: RunEntryPreview(frm, nullptr); break;
  }
}

}  // namespace wb
