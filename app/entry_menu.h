// The context menu of the entry list: "Eintrag exportieren …", "Alle Einträge
// exportieren …" and "Vorschau als PDF". The front end only shows the items
// (text, enabled state) where the user clicked and calls RunEntryMenuAction
// with the one chosen; the save dialog comes through SaveFileDialogs and the
// question before replacing a file through MessageBoxes.
#pragma once

#include <string>
#include <vector>

namespace wb {

class TLiveImportFrm;

enum class EntryMenuAction { ExportSelected, ExportAll, Preview };

struct TEntryMenuItem {
  EntryMenuAction Action;
  std::string Text;  // 8-bit
  bool Enabled;
};

// The items for the list as it is now: exporting one entry needs a selection,
// the preview a selected print entry.
std::vector<TEntryMenuItem> EntryMenuItems(TLiveImportFrm& frm);

// Carries out the chosen item. Errors of the export are raised (German), for
// the gui's standard error box; the file is then left as it was.
void RunEntryMenuAction(TLiveImportFrm& frm, EntryMenuAction action);

// Where the save dialog starts: the user's documents folder and the file name.
std::string ExportDefaultPath(const std::string& fileName);

}  // namespace wb
