// The entry check with the program's own sources of truth.
#include "app/entry_findings.h"

#include "app/overview_page.h"
#include "entries/entry_fields.h"

namespace wb {

std::vector<const TWBCustomJSON*> ListedEntries(const TStringList& lines) {
  std::vector<const TWBCustomJSON*> entries;
  for (int i = 0; i < lines.Count(); ++i)
    if (auto* entry = static_cast<const TWBCustomJSON*>(lines.GetObject(i))) entries.push_back(entry);
  return entries;
}

std::vector<TEntryFinding> CheckListedEntries(const std::string& databaseFolder,
                                              const std::vector<const TWBCustomJSON*>& entries, IServerLink& server) {
  TEntryCheckSource source;
  source.Entries = entries;
  source.Printers = ParseOfferedPrinters(server.Read("PRINTERS"));
  source.LayoutExists = [&databaseFolder](const std::string& name) { return LayoutFileExists(databaseFolder, name); };
  source.ProgramExists = [](const std::string& program) { return ExternalProgramExists(program); };
  return CheckEntries(source);
}

std::string FindingEntryLabel(const TWBCustomJSON& entry) {
  const std::string uid = entry.StringByName(entry_keys::UID);
  return EntryPlainName(entry) + (uid.empty() ? std::string() : " (" + uid + ")");
}

}  // namespace wb
