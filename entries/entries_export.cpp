// The export of entries into a file of their own.
#include "entries/entries_export.h"

#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "entries/entry_fields.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "strings/string_list.h"

namespace wb {

std::string ExportFileNameOf(const TWBCustomJSON& entry) {
  const std::string name = MakeSafeFileName(EntryPlainName(entry), false);
  return name.empty() ? Ansi(kExportAllFileName) : name + kExportFileExtension;
}

std::unique_ptr<TWBJSON> BuildExportDocument(const std::vector<const TWBCustomJSON*>& entries) {
  auto root = std::make_unique<TWBJSON>();
  auto* items = root->AddMemberAndGet(u"Items", std::make_unique<TWBSONList>());
  for (const TWBCustomJSON* entry : entries)
    if (entry != nullptr) items->Add(TWBCustomJSON::Clone(entry));
  return root;
}

std::string EntriesFileText(const TWBJSON& document) {
  TStringList lines;
  lines.SetText(GenerateIndented(&document));
  return lines.Text();
}

std::string ExportTargetProblem(const std::string& path) {
  const std::string fileName = ExtractFileName(path);
  if (path.empty() || fileName.empty()) return FormatMessageText(Ansi(u8"„%s“ ist kein Dateiname."), path);
  // The folder is not created: a mistyped folder would otherwise receive the file unseen.
  const std::string folder = ExtractFilePath(path);
  if (!folder.empty() && !DirExistsEx(folder))
    return FormatMessageText(Ansi(u8"Der Ordner „%s“ existiert nicht."), RemoveTrailingBackslash(folder));
  const uint32_t attributes = platform::GetFileAttributes(path);
  if (attributes == platform::kInvalidFileAttributes) return {};
  if (attributes & platform::kFileAttributeDirectory)
    return FormatMessageText(Ansi(u8"„%s“ ist ein Ordner, keine Datei."), path);
  if (attributes & platform::kFileAttributeReadOnly)
    return FormatMessageText(Ansi(u8"Die Datei „%s“ ist schreibgeschützt."), path);
  return {};
}

void WriteEntriesExport(const std::vector<const TWBCustomJSON*>& entries, const std::string& path,
                        bool replaceExisting) {
  const std::string problem = ExportTargetProblem(path);
  if (!problem.empty()) throw Exception(problem);
  if (!replaceExisting && FileExistsEx(path))
    throw EExportTargetExists(FormatMessageText(Ansi(u8"Die Datei „%s“ gibt es schon."), path));
  const std::string text = EntriesFileText(*BuildExportDocument(entries));
  SaveTextAtomically(text, path);
}

}  // namespace wb
