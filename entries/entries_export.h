// Writing entries to a file of their own, to carry them to another database or
// installation: {"Items":[…]} in the entries file's format (indented, CR LF
// lines, the system code page), every member of an entry as stored, so that
// the import of the direct start reads it back. The write is crash-safe, never
// creates folders and never replaces a file unless told to.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "json/wbjson.h"
#include "platform/errors.h"

namespace wb {

// The file name offered for an export of all entries.
inline constexpr const char8_t* kExportAllFileName = u8"Mehrfachausgabe-Einträge.json";
inline constexpr const char* kExportFileExtension = ".json";

// A file name for the export of one entry: its plain name made file-safe, or
// the default name when nothing of it is left.
std::string ExportFileNameOf(const TWBCustomJSON& entry);

// {"Items":[deep copies of the entries, in the order given]}.
std::unique_ptr<TWBJSON> BuildExportDocument(const std::vector<const TWBCustomJSON*>& entries);

// The bytes of the entries file for a document (the same writer the entries file uses).
std::string EntriesFileText(const TWBJSON& document);

// Raised when the target exists and replacing it was not allowed.
class EExportTargetExists : public Exception {
 public:
  using Exception::Exception;
};

// What stands in the way of writing path: "" when nothing does, otherwise the
// German reason (no file name, a folder that does not exist, a folder in the
// file's place, a read-only file). An existing file is no reason here.
std::string ExportTargetProblem(const std::string& path);

// Writes the entries to path. Raises Exception with the German reason when the
// target cannot be written (nothing is left half-written: the old file stays
// whole), EExportTargetExists when the file exists and replaceExisting is false.
void WriteEntriesExport(const std::vector<const TWBCustomJSON*>& entries, const std::string& path,
                        bool replaceExisting);

}  // namespace wb
