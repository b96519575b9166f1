// The entry check as the program runs it: the entries of the list, the layout
// files of the database folder, the printers the server offers ("PRINTERS")
// and the programs of "Extern" entries on this machine.
#pragma once

#include <string>
#include <vector>

#include "app/server_link.h"
#include "entries/entry_check.h"
#include "strings/string_list.h"

namespace wb {

// The entries of list lines, in list order.
std::vector<const TWBCustomJSON*> ListedEntries(const TStringList& lines);

// Checks the entries (in list order) of the database folder, asking the server for its printers.
std::vector<TEntryFinding> CheckListedEntries(const std::string& databaseFolder,
                                              const std::vector<const TWBCustomJSON*>& entries, IServerLink& server);

// How a finding names its entry on a line of its own: the plain name, and the
// "UID" in parentheses when there is one ("Lieferschein (5D3A…)").
std::string FindingEntryLabel(const TWBCustomJSON& entry);

}  // namespace wb
