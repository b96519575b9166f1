// The entry check: looks at every entry and says, in German, what will go
// wrong when the suite carries it out — a layout without its file, a printer
// the server does not offer, a paper bin that printer does not have, a duplex
// value or number of copies the printout cannot use, two entries that a direct
// start or an import cannot tell apart, an external program that is not there.
// The same findings reach the command line (--check), the overview page and
// the editor's colours.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "json/wbjson.h"

namespace wb {

enum class FindingKind {
  MissingLayout,   // "SuperLayoutname" or "Filter.LayoutName" without its file
  UnknownPrinter,  // "Defaultprinter" not among the server's printers
  UnknownBin,      // "DefaultprinterBinName" not a bin of that printer
  UnknownDuplex,   // "DuplexType" not one of the offered values
  TooFewCopies,    // "Copies" below 1
  DuplicateName,   // another entry has the same plain name
  DuplicateUid,    // another entry has the same "UID"
  MissingProgram,  // an "Extern" entry's "ServerExeName" is not found
};

struct TEntryFinding {
  const TWBCustomJSON* Entry = nullptr;
  FindingKind Kind = FindingKind::MissingLayout;
  std::string Text;  // German, 8-bit, values as stored (not escaped)
};

// The printers the server offers with their bins, from the reply of "PRINTERS".
struct TOfferedPrinter {
  std::string Name;
  std::vector<std::string> Bins;
};
struct TOfferedPrinters {
  // False when the server gave no list (empty reply, not JSON, no or an empty
  // "Printers"): an older server, not a fault of the entries.
  bool Known = false;
  std::vector<TOfferedPrinter> Printers;
  // The printer of that exact name, nullptr when there is none.
  const TOfferedPrinter* Find(const std::string& name) const;
};
TOfferedPrinters ParseOfferedPrinters(const std::string& printersReply);

// The duplex values the editor offers; any other value is a finding.
const std::vector<std::string>& OfferedDuplexValues();

struct TEntryCheckSource {
  std::vector<const TWBCustomJSON*> Entries;  // in list order
  TOfferedPrinters Printers;
  std::function<bool(const std::string& layoutName)> LayoutExists;
  std::function<bool(const std::string& program)> ProgramExists;
};

// Every finding, entry by entry in the order given, each entry's findings in
// the order of FindingKind.
std::vector<TEntryFinding> CheckEntries(const TEntryCheckSource& source);

// The findings of one entry, in order (a view into the result of CheckEntries).
std::vector<const TEntryFinding*> FindingsOf(const std::vector<TEntryFinding>& findings, const TWBCustomJSON* entry);

// Whether the program of an "Extern" entry can be started: a name with a folder
// must exist as given; a bare name is searched in the folders of PATH (on
// Windows also with ".exe").
bool ExternalProgramExists(const std::string& program);

}  // namespace wb
