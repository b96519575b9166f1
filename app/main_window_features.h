// Attaches the features that build on the main window — the entry editor, the
// desktop shortcut, the overview page and the start from the command line — to
// a main window's hooks. The gui calls it once with the factory of its editor
// dialog; tests call it with a recording dialog.
#pragma once

#include "entries/setup_form.h"

namespace wb {

class TLiveImportFrm;

void AttachMainWindowFeatures(TLiveImportFrm& frm, SetupDialogFactory makeEditorDialog);

}  // namespace wb
