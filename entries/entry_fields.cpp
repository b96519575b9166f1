// The entry record's readers, the example entry and the display text.
#include "entries/entry_fields.h"

#include "platform/codepage.h"
#include "strings/strutils.h"

namespace wb {

const std::array<const char8_t*, 12> kDocumentTypes = {
    u8"RECHNUNG",    u8"ANGEBOT",      u8"BESTELLUNG",          u8"BRIEF",
    u8"GUTSCHRIFT",  u8"LIEFERSCHEIN", u8"AUFTRAGSBESTÄTIGUNG", u8"FREIER TYP1",
    u8"FREIER TYP2", u8"FREIER TYP3",  u8"FREIER TYP4",         u8"FREIER TYP5",
};

std::string EntryString(const TWBCustomJSON& entry, const char* key) { return entry.StringByName(key); }

bool EntryForbidden(const TWBCustomJSON& entry) {
  try {
    return entry.BooleanByName(entry_keys::Forbidden);
  } catch (const Exception&) {
    return false;  // text that is no boolean: not switched off
  }
}

int32_t EntryCopies(const TWBCustomJSON& entry) { return entry.IntegerByName(entry_keys::Copies); }

std::string EntryDestinationLower(const TWBCustomJSON& entry) {
  std::string text = entry.StringByName(entry_keys::Destination);
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

bool IsPrintEntry(const TWBCustomJSON& entry) { return EntryDestinationLower(entry) == "print"; }

std::string EntryPlainName(const TWBCustomJSON& entry) {
  std::string name = entry.StringByName(entry_keys::Info);
  StripHTMLMarkup(name);
  return name;
}

std::string EntryDisplayText(const TWBCustomJSON& entry) {
  std::string text = "[" + entry.StringByName(entry_keys::Destination) + "] " + EntryPlainName(entry);
  if (EntryForbidden(entry)) text += kNotUsedMarker;
  return text;
}

void EnsureEntryUid(TWBJSON& entry) {
  if (entry.StringByName(entry_keys::UID).empty()) entry.SetStringByName(entry_keys::UID, NewGuidText());
}

std::unique_ptr<TWBJSON> BuildExampleDocument() {
  auto root = std::make_unique<TWBJSON>();
  root->SetStringByName(entry_keys::LogFileName, kLogFileNameValue);
  auto* items = root->AddMemberAndGet(u"Items", std::make_unique<TWBSONList>());
  auto* entry = items->AppendAndGet(std::make_unique<TWBJSON>());
  using namespace entry_keys;
  entry->SetStringByName(Info, Ansi(u8"Beispiel: Ändern Sie alles hier!"));
  entry->SetStringByName(FilterPOT, "rechnung");
  entry->SetStringByName(FilterOutput, "mail");
  entry->SetStringByName(FilterLayoutName, "");
  entry->SetStringByName(Destination, "pdf");
  entry->SetStringByName(SuperLayoutname, "");
  entry->SetStringByName(LabelPrinter, "");
  entry->SetStringByName(Defaultprinter, "");
  entry->SetStringByName(DefaultprinterBinName, "");
  entry->SetStringByName(DuplexType, "");
  entry->SetIntegerByName(Copies, 1);
  entry->SetBooleanByName(Forbidden, true);
  entry->SetStringByName(UID, NewGuidText());
  return root;
}

}  // namespace wb
