// The one-shot starts from the command line, handled when the main window is
// first shown: an entry's name or "UID" as argument 1 runs that entry and ends
// the program (the desktop shortcuts start it so); the path of a JSON file of
// entries merges them into the entries file and ends — in add mode only new
// "UID"s are added, with "U" as argument 2 known entries are updated too but
// keep their own three filter values.
#pragma once

namespace wb {

class TLiveImportFrm;

// The update mode's argument 2.
inline constexpr const char* kUpdateModeArgument = "U";

void StartFromCommandLine(TLiveImportFrm& frm);

}  // namespace wb
