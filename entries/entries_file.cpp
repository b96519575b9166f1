// Loading, writing and listing the entries file.
#include "entries/entries_file.h"

#include <chrono>
#include <ctime>
#include <map>
#include <set>

#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "entries/entry_fields.h"
#include "platform/errors.h"
#include "strings/strutils.h"

namespace wb {
namespace {

// Sort groups of the list: print entries, then pdf entries, then all others.
struct DestinationGroup {
  const char* contains;
  const char* prefix;
};
constexpr DestinationGroup kDestinationGroups[] = {{"print", "1 "}, {"pdf", "2 "}};
constexpr const char* kOtherGroupPrefix = "3 ";

const char* GroupPrefix(const TWBCustomJSON& entry) {
  std::string destination = EntryDestinationLower(entry);
  for (const DestinationGroup& group : kDestinationGroups)
    if (destination.find(group.contains) != std::string::npos) return group.prefix;
  return kOtherGroupPrefix;
}

std::string TimeStamp() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%Y%m%d-%H%M%S", &local);
  return buffer;
}

// Whether the file exists, can be read and holds exactly text.
bool FileHoldsText(const std::string& path, const std::string& text) {
  try {
    if (!FileExistsEx(path)) return false;
    TFileStream stream(path, fmOpenRead | fmShareDenyWrite);
    if (stream.Size() != static_cast<int64_t>(text.size())) return false;
    return stream.ReadRest() == text;
  } catch (const Exception&) {
    return false;  // unreadable: written anew
  }
}

}  // namespace

std::string EntriesFilePath(const std::string& databaseFolder) {
  return AddTrailingBackslash(databaseFolder) + kEntriesFolderName + platform::kPathDelimiter + kEntriesFileName;
}

std::string EntriesBackupPath(const std::string& entriesFilePath) {
  const std::string extension = ".json";
  std::string base = entriesFilePath;
  if (base.size() >= extension.size() && base.compare(base.size() - extension.size(), extension.size(), extension) == 0)
    base.resize(base.size() - extension.size());
  return base + ".json.backup";
}

std::unique_ptr<TWBJSON> LoadEntriesDocument(const std::string& path) {
  return JSONCast<TWBJSON>(TWBJSONStreamer::LoadFromFile(path));
}

void WriteDocumentFile(const TWBJSON& document, const std::string& path) {
  TStringList lines;
  lines.SetText(GenerateIndented(&document));
  SaveListRetry(lines, path);
}

void WriteDocumentFileIfChanged(const TWBJSON& document, const std::string& path) {
  TStringList lines;
  lines.SetText(GenerateIndented(&document));
  if (FileHoldsText(path, lines.Text())) return;
  SaveListRetry(lines, path);
}

std::string PreserveDamagedEntries(const std::string& entriesFilePath) {
  const std::string stamp = TimeStamp();
  std::string damaged = entriesFilePath + ".beschaedigt-" + stamp;
  CopyFileRetry(entriesFilePath, damaged);
  const std::string backup = EntriesBackupPath(entriesFilePath);
  if (FileExistsEx(backup)) CopyFileRetry(backup, backup + ".vorher-" + stamp);
  return damaged;
}

TWBSONList* EntryItems(const TWBCustomJSON* document) {
  if (document == nullptr) return nullptr;
  return JSONAs<TWBSONList>(document->MemberByName(entry_keys::Items));
}

void BuildEntryLines(const TWBJSON& document, TStringList& lines) {
  lines.BeginUpdate();
  lines.Clear();
  if (TWBSONList* items = EntryItems(&document)) {
    for (int32_t i = 0; i < items->ChildCount(); ++i) {
      auto* entry = JSONAs<TWBJSON>(items->ChildAt(i));
      if (entry == nullptr) continue;  // not an entry object: nothing to show or run
      lines.AddObject(GroupPrefix(*entry) + EntryDisplayText(*entry), entry);
    }
  }
  SortStringsNatural(lines);
  for (int i = 0; i < lines.Count(); ++i) lines.Put(i, lines[i].substr(2, kEntryLineLength));
  lines.EndUpdate();
}

std::unique_ptr<TWBJSON> BuildSaveDocument(const TStringList& lines, const TWBJSON* current) {
  auto root = std::make_unique<TWBJSON>();
  root->SetStringByName(entry_keys::LogFileName, kLogFileNameValue);
  auto* items = root->AddMemberAndGet(u"Items", std::make_unique<TWBSONList>());
  for (int i = 0; i < lines.Count(); ++i) {
    auto* entry = static_cast<const TWBCustomJSON*>(lines.GetObject(i));
    if (entry) items->Add(TWBCustomJSON::Clone(entry));
  }
  TWBSONList::SortByField(items, entry_keys::Info, nullptr, true);
  if (const TWBSONList* kept = EntryItems(current)) {
    for (int32_t i = 0; i < kept->ChildCount(); ++i) {
      const TWBCustomJSON* element = kept->ChildAt(i);
      if (JSONAs<TWBJSON>(element) == nullptr) items->Add(TWBCustomJSON::Clone(element));
    }
  }
  return root;
}

bool UidExists(const TWBJSON* document, const std::string& uid) {
  TWBSONList* items = EntryItems(document);
  if (items == nullptr) return false;
  for (int32_t i = 0; i < items->ChildCount(); ++i) {
    TWBCustomJSON* entry = items->ChildAt(i);
    if (entry && entry->StringByName(entry_keys::UID) == uid) return true;
  }
  return false;
}

std::string ReadEntriesFileBytes(const std::string& path) {
  try {
    if (!FileExistsEx(path)) return {};
    TFileStream stream(path, fmOpenRead | fmShareDenyNone);
    return stream.ReadRest();
  } catch (const Exception&) {
    return {};
  }
}

std::string EntryKey(const TWBCustomJSON& entry) {
  const std::string uid = entry.StringByName(entry_keys::UID);
  // A control character cannot start a UID: the two kinds of key never meet.
  return uid.empty() ? "\x01" + TWBJSONText::Generate(&entry) : uid;
}

namespace {

struct KeyedEntries {
  std::vector<std::pair<std::string, const TWBCustomJSON*>> ordered;
  std::map<std::string, const TWBCustomJSON*> byKey;
  void Add(const TWBCustomJSON* entry) {
    std::string key = EntryKey(*entry);
    if (!byKey.emplace(key, entry).second) return;  // a second entry of one UID: the first counts
    ordered.emplace_back(std::move(key), entry);
  }
  const TWBCustomJSON* Find(const std::string& key) const {
    auto found = byKey.find(key);
    return found == byKey.end() ? nullptr : found->second;
  }
};

KeyedEntries EntriesOf(const TWBJSON* document) {
  KeyedEntries entries;
  if (TWBSONList* items = EntryItems(document))
    for (int32_t i = 0; i < items->ChildCount(); ++i)
      if (auto* entry = JSONAs<TWBJSON>(items->ChildAt(i))) entries.Add(entry);
  return entries;
}

bool SameEntry(const TWBCustomJSON* a, const TWBCustomJSON* b) {
  return TWBJSONText::Generate(a) == TWBJSONText::Generate(b);
}

}  // namespace

void MergeEntryLines(const TWBJSON* base, const TStringList& mine, const TWBJSON* theirs, TStringList& merged) {
  const KeyedEntries before = EntriesOf(base);
  const KeyedEntries now = EntriesOf(theirs);
  KeyedEntries ours;
  for (int i = 0; i < mine.Count(); ++i)
    if (auto* entry = static_cast<const TWBCustomJSON*>(mine.GetObject(i))) ours.Add(entry);

  // Whether this window did something to the entry since it was loaded.
  auto touchedHere = [&](const std::string& key) {
    const TWBCustomJSON* original = before.Find(key);
    const TWBCustomJSON* own = ours.Find(key);
    if (original == nullptr) return own != nullptr;  // added here
    if (own == nullptr) return true;                 // deleted here
    return !SameEntry(original, own);                // changed here
  };

  merged.Clear();
  std::set<std::string> taken;
  for (const auto& [key, entry] : now.ordered) {
    taken.insert(key);
    if (!touchedHere(key)) merged.AddObject("", const_cast<TWBCustomJSON*>(entry));
    else if (const TWBCustomJSON* own = ours.Find(key)) merged.AddObject("", const_cast<TWBCustomJSON*>(own));
    // else: deleted here, and that counts.
  }
  for (const auto& [key, own] : ours.ordered) {
    if (taken.count(key)) continue;
    // Gone from the file: deleted elsewhere, unless this window changed or added it.
    if (touchedHere(key)) merged.AddObject("", const_cast<TWBCustomJSON*>(own));
  }
}

}  // namespace wb
