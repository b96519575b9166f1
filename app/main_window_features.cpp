// AttachMainWindowFeatures: the links "Eigenschaften", "Verknüpfung erstellen",
// the overview link and the first showing of the window.
#include "app/main_window_features.h"

#include "app/command_line_start.h"
#include "app/edit_entry.h"
#include "app/entry_shortcut.h"
#include "app/live_import_frm.h"
#include "app/overview_page.h"

namespace wb {

void AttachMainWindowFeatures(TLiveImportFrm& frm, SetupDialogFactory makeEditorDialog) {
  frm.OnEditEntry = [&frm, makeDialog = std::move(makeEditorDialog)] { EditSelectedEntry(frm, makeDialog); };
  frm.OnCreateShortcut = [&frm] { CreateEntryShortcut(frm); };
  frm.OnShowOverview = [&frm] { WriteOverviewPage(frm, true); };
  frm.OnFirstShow = [&frm] { StartFromCommandLine(frm); };
}

}  // namespace wb
