// The entries file "Sonderdruck.V1/sdr.json" in the database folder: its paths,
// loading, writing (readable JSON, CR LF lines, crash-safe), the list lines the
// main window shows, and the document a save writes.
#pragma once

#include <memory>
#include <string>

#include "json/wbjson.h"
#include "strings/string_list.h"

namespace wb {

inline constexpr const char* kEntriesFolderName = "Sonderdruck.V1";
inline constexpr const char* kEntriesFileName = "sdr.json";
inline constexpr int kEntryLineLength = 100;

// AddTrailingBackslash(database folder) + "Sonderdruck.V1" + delimiter + "sdr.json".
std::string EntriesFilePath(const std::string& databaseFolder);
// The same path with ".json" replaced by ".json.backup".
std::string EntriesBackupPath(const std::string& entriesFilePath);

// The document of the file, or nullptr when it is missing, unreadable or not an object.
std::unique_ptr<TWBJSON> LoadEntriesDocument(const std::string& path);
// Readable JSON text of the document, written line by line with SaveListRetry.
void WriteDocumentFile(const TWBJSON& document, const std::string& path);
// The same, except that a file already holding exactly these bytes is left as
// it is: the backup written at every start usually does, and rewriting it
// would make every start wait for the disk.
void WriteDocumentFileIfChanged(const TWBJSON& document, const std::string& path);

// Keeps a damaged entries file and the backup that was there before it under
// names that say what they are, so the example document written next cannot
// destroy the user's entries. Returns the name the damaged bytes were kept under.
std::string PreserveDamagedEntries(const std::string& entriesFilePath);

// The "Items" array of a document, nullptr when there is none.
TWBSONList* EntryItems(const TWBCustomJSON* document);

// The list lines for a document: "[Destination] name" (+ marker), print
// entries first, then pdf, then the rest, naturally ordered, cut to 100
// characters, each line carrying its entry object.
void BuildEntryLines(const TWBJSON& document, TStringList& lines);

// A new root for saving: "LogFileName", then "Items" with a deep copy of every
// line's entry, sorted by plain "Info". Raises "Info not found in Items" when
// the first entry has no "Info". Elements of the current document's "Items"
// that are no objects (a stray null or text) have no line; they follow the
// entries unchanged, in their order, so a save does not lose them.
std::unique_ptr<TWBJSON> BuildSaveDocument(const TStringList& lines, const TWBJSON* current = nullptr);

// True when an entry of the document has exactly this "UID".
bool UidExists(const TWBJSON* document, const std::string& uid);

// The file's bytes as they are on disk, "" when it is missing or unreadable.
// Compared before a save with the bytes seen at loading, they tell whether
// another window, an import or another program wrote the file meanwhile.
std::string ReadEntriesFileBytes(const std::string& path);

// What identifies an entry across loads: its "UID", or for an entry without
// one its whole compact text.
std::string EntryKey(const TWBCustomJSON& entry);

// The entries to write when the file changed on disk since this window loaded
// base: every entry this window changed, added or deleted since base counts as
// this window left it (mine, the list); every other entry is taken as the file
// now holds it (theirs), so neither side's work is dropped. merged gets the
// objects of mine and theirs, which must outlive it.
void MergeEntryLines(const TWBJSON* base, const TStringList& mine, const TWBJSON* theirs, TStringList& merged);

}  // namespace wb
