// The main window's side of the entry editor: "Eigenschaften" opens the
// dialog for the selected entry, and after it is closed the chosen action is
// carried out on a "Ja": the entry changed in place, stored as a new entry, or
// deleted; each followed by a save of the entries file.
#pragma once

#include "app/live_import_frm.h"
#include "entries/setup_form.h"

namespace wb {

// The editor's confirmations (UTF-8 here; shown through Ansi).
inline constexpr const char* kConfirmChange = "Änderungen übernehmen?";
inline constexpr const char* kConfirmAddNew = "Als neuen Eintrag übernehmen?";
inline constexpr const char* kConfirmDelete = "Eintrag löschen?";

// The "Eigenschaften" link: with no entry selected the entries file is shown in
// its folder; otherwise the dialog (from the factory) edits the selected entry.
void EditSelectedEntry(TLiveImportFrm& frm, const SetupDialogFactory& makeDialog);

// Writes the dialog's fields into entry, or (entry nullptr) into a new entry
// appended to the document's "Items". Returns the new entry, nullptr when an
// existing entry was given or the document has no "Items".
TWBCustomJSON* StoreEditorFields(TLiveImportFrm& frm, const TSetupFrm& dialog, TWBCustomJSON* entry);

// "Anzahl" as stored: the text as a whole number, 1 when it is not one.
int32_t CopiesFromText(const std::string& text);

// The services the editor gets from the main window (its server, its opener).
TSetupServices SetupServicesOf(TLiveImportFrm& frm);

}  // namespace wb
