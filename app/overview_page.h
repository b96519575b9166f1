// The overview page: an HTML page that describes every entry of the list in
// German sentences (when the suite carries it out, what it then produces),
// names the database and installation folders and warns about layouts whose
// files are missing. Written on demand into the user's temporary folder,
// opened with the program chosen for HTML files, deleted with the main window.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "entries/entry_check.h"
#include "json/wbjson.h"
#include "strings/string_list.h"

namespace wb {

class TLiveImportFrm;

// A layout's file in the database folder: the name followed by this.
inline constexpr const char* kLayoutFileSuffix = "_SUPERLAYOUT.DA1";

// What a page is made of.
struct TOverviewSource {
  std::string DatabaseFolder;
  std::string ApplicationFolder;
  std::vector<const TWBCustomJSON*> Entries;  // in list order
  std::function<bool(const std::string& layoutName)> LayoutExists;
  // The entry check's findings: each one but a missing layout (which the page
  // names in its place already) is a warning line at the end of its entry's
  // last column. No findings, no change to the page.
  std::vector<TEntryFinding> Findings;
};

// The page's blocks, in order; the file holds each followed by CR LF.
void BuildOverviewPage(const TOverviewSource& source, TStringList& blocks);

// Every value put into the page goes through this: & < > " become entities, so
// a printer or layout name cannot change the page's markup.
std::string EscapeHtml(std::string_view text);

// Whether the layout's file exists in the database folder (which ends with a
// delimiter). The suite names layouts as Windows does, without regard to case,
// so on a case-sensitive file system the folder is searched for the name in any case.
bool LayoutFileExists(const std::string& databaseFolder, const std::string& layoutName);

// <temporary folder of the suite> + the database folder as a file name + ".html".
std::string OverviewFilePath(const std::string& databaseFolder);

// Builds the page for the main window's list, writes it, remembers its path in
// the main window (deleted at its destruction) and, when asked, opens it.
void WriteOverviewPage(TLiveImportFrm& frm, bool openAfterwards);

}  // namespace wb
