// The main window's side of the entry editor: "Eigenschaften" opens the
// dialog for the selected entry, and after it is closed the chosen action is
// carried out on a "Ja": the entry changed in place, stored as a new entry, or
// deleted; each followed by a save of the entries file.
#pragma once

#include "app/live_import_frm.h"
#include "entries/setup_form.h"

namespace wb {

// The editor's confirmations (shown through Ansi).
inline constexpr const char8_t* kConfirmChange = u8"Änderungen übernehmen?";
inline constexpr const char8_t* kConfirmAddNew = u8"Als neuen Eintrag übernehmen?";
// The deletion names the entry: "Eintrag „%s“ löschen?".
std::string ConfirmDeleteText(const std::string& plainName);
// An entry is found, shown and started by its name: an empty one is refused.
inline constexpr const char8_t* kEmptyNameText =
    u8"Ein Eintrag braucht einen Namen: Bitte tragen Sie im Feld „Name:“ einen Namen ein (Text, nicht nur "
    u8"Formatierung oder Bild), oder wählen Sie „Nichts änderbar“.";

// The "Eigenschaften" link: with no entry selected the entries file is shown in
// its folder; otherwise the dialog (from the factory) edits the selected entry.
void EditSelectedEntry(TLiveImportFrm& frm, const SetupDialogFactory& makeDialog);

// Writes the dialog's fields into entry, or (entry nullptr) into a new entry
// appended to the document's "Items". Returns the new entry, nullptr when an
// existing entry was given or the document has no "Items".
TWBCustomJSON* StoreEditorFields(TLiveImportFrm& frm, const TSetupFrm& dialog, TWBCustomJSON* entry);

// Whether the name field holds a name: not empty once markup is removed.
bool NameFieldUsable(const TSetupFrm& form);

// "Anzahl" as stored: the text as a whole number, 1 when it is not one.
int32_t CopiesFromText(const std::string& text);

// The services the editor gets from the main window (its server, its opener).
TSetupServices SetupServicesOf(TLiveImportFrm& frm);

}  // namespace wb
