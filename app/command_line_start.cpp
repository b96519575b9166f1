// StartFromCommandLine: the direct start of one entry and the import of entries.
#include "app/command_line_start.h"

#include <memory>
#include <string>

#include "app/command_line_tasks.h"
#include "app/entry_preview.h"
#include "app/live_import_frm.h"
#include "client/file_helpers.h"
#include "client/message_boxes.h"
#include "entries/entries_file.h"
#include "entries/entry_fields.h"
#include "platform/codepage.h"
#include "platform/errors.h"

namespace wb {
namespace {

// The filter values an updated entry keeps from the entry it replaces.
constexpr const char* kKeptFilterMembers[] = {entry_keys::FilterPOT, entry_keys::FilterOutput,
                                              entry_keys::FilterLayoutName};

// A one-shot start ends the program on every way out, also after an error
// (which the window then shows before it closes).
class CloseAtEnd {
 public:
  explicit CloseAtEnd(TLiveImportFrm& frm) : frm_(frm) {}
  ~CloseAtEnd() { frm_.View().PostClose(); }
  CloseAtEnd(const CloseAtEnd&) = delete;
  CloseAtEnd& operator=(const CloseAtEnd&) = delete;

 private:
  TLiveImportFrm& frm_;
};

std::string Argument(const TLiveImportFrm& frm, size_t index) {
  return index < frm.Arguments().size() ? frm.Arguments()[index] : std::string();
}

TWBCustomJSON* EntryOfLine(TLiveImportFrm& frm, int line) {
  return static_cast<TWBCustomJSON*>(frm.Lines().GetObject(line));
}

// The first line, in list order, whose entry is named or identified by the argument.
TWBCustomJSON* FindNamedEntry(TLiveImportFrm& frm, const std::string& argument) {
  for (int line = 0; line < frm.Lines().Count(); ++line) {
    TWBCustomJSON* entry = EntryOfLine(frm, line);
    if (entry == nullptr) continue;
    const std::string name = EntryPlainName(*entry);
    const std::string uid = entry->StringByName(entry_keys::UID);
    if ((!name.empty() && name == argument) || (!uid.empty() && uid == argument)) return entry;
  }
  return nullptr;
}

int FindLineByUid(TLiveImportFrm& frm, const std::string& uid) {
  for (int line = 0; line < frm.Lines().Count(); ++line) {
    TWBCustomJSON* entry = EntryOfLine(frm, line);
    if (entry != nullptr && entry->StringByName(entry_keys::UID) == uid) return line;
  }
  return -1;
}

// Update mode: the imported entry takes the line's place, with the line's filters.
bool ReplaceEntry(TLiveImportFrm& frm, const TWBCustomJSON& imported, const std::string& uid) {
  const int line = FindLineByUid(frm, uid);
  if (line < 0) return false;
  std::unique_ptr<TWBCustomJSON> copy = TWBCustomJSON::Clone(&imported);
  if (!copy) return false;
  const TWBCustomJSON* present = EntryOfLine(frm, line);
  for (const char* member : kKeptFilterMembers) copy->SetStringByName(member, present->StringByName(member));
  // The line's text stays until the save rebuilds the list.
  frm.Lines().PutObject(line, frm.AdoptEntry(std::move(copy)));
  return true;
}

bool AddEntry(TLiveImportFrm& frm, const TWBCustomJSON& imported) {
  std::unique_ptr<TWBCustomJSON> copy = TWBCustomJSON::Clone(&imported);
  if (!copy) return false;
  const std::string text = EntryDisplayText(*copy);
  frm.Lines().AddObject(text, frm.AdoptEntry(std::move(copy)));
  return true;
}

void ImportEntries(TLiveImportFrm& frm, const std::string& fileName, bool updateMode) {
  std::unique_ptr<TWBCustomJSON> imported = TWBJSONStreamer::LoadFromFile(fileName);
  if (!imported) return;  // not JSON: the window stays open with its list
  CloseAtEnd close(frm);
  TWBCustomJSON* items = imported->MemberByName(entry_keys::Items);
  if (items == nullptr) return;

  int changed = 0;
  for (int32_t i = 0; i < items->ChildCount(); ++i) {
    const auto* entry = JSONAs<TWBJSON>(items->ChildAt(i));
    if (entry == nullptr) continue;  // only objects are entries
    const std::string uid = entry->StringByName(entry_keys::UID);
    // An entry without "UID" is always new: it cannot name a loaded one.
    const bool known = !uid.empty() && frm.UidExists(uid);
    if (known) {
      if (updateMode && ReplaceEntry(frm, *entry, uid)) ++changed;
    } else if (AddEntry(frm, *entry)) {
      ++changed;
    }
  }
  imported.reset();
  if (changed > 0) frm.SaveEntries();
}

}  // namespace

// --preview NAME|UID: the entry's preview, then the program ends.
void StartPreview(TLiveImportFrm& frm, const std::string& name) {
  CloseAtEnd close(frm);
  TWBCustomJSON* entry = FindNamedEntry(frm, name);
  if (entry == nullptr) {
    MessageBoxes::ShowInfo(FormatMessageText(Ansi(u8"Kein Eintrag heißt „%s“ oder hat diese UID."), name));
    return;
  }
  RunEntryPreview(frm, entry);
}

void StartFromCommandLine(TLiveImportFrm& frm) {
  const TCommandLineRequest request = ParseCommandLineRequest(frm.Arguments());
  if (request.Task == CommandLineTask::Preview && request.Error.empty()) {
    StartPreview(frm, request.Names.front());
    return;
  }
  // The windowless tasks are done before any window (and are no entry names).
  if (request.Task != CommandLineTask::None) return;
  const std::string first = Argument(frm, 0);
  if (TWBCustomJSON* entry = FindNamedEntry(frm, first)) {
    CloseAtEnd close(frm);
    frm.RunEntryOutput(entry);
    return;
  }
  // Without a database folder no entries were loaded: nothing to merge into.
  if (first.empty() || frm.Document() == nullptr || !FileExistsEx(first)) return;
  ImportEntries(frm, first, Argument(frm, 1) == kUpdateModeArgument);
}

}  // namespace wb
