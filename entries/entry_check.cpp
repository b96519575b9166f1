// The entry check: one pass over the entries per kind of finding.
#include "entries/entry_check.h"

#include <map>

#include "entries/entry_fields.h"
#include "platform/codepage.h"
#include "platform/processes.h"

namespace wb {
namespace {

// Each text takes one value (Replace of "%s", values as stored).
std::string Say(std::u8string_view utf8Pattern, const std::string& value) {
  return FormatMessageText(Ansi(utf8Pattern), value);
}

// The overview names an entry's program only for "Extern" as written; the
// check looks at the same entries.
bool IsExternEntry(const TWBCustomJSON& entry) { return entry.StringByName(entry_keys::Destination) == "Extern"; }

void CheckLayouts(const TWBCustomJSON& entry, const TEntryCheckSource& source, std::vector<TEntryFinding>& out) {
  if (!source.LayoutExists) return;
  const bool extern_ = IsExternEntry(entry);
  for (const char* key : {entry_keys::FilterLayoutName, entry_keys::SuperLayoutname}) {
    // An external program uses no layout of its own (the overview does not name one).
    if (extern_ && key == entry_keys::SuperLayoutname) continue;
    const std::string layout = entry.StringByName(key);
    if (layout.empty() || source.LayoutExists(layout)) continue;
    out.push_back({&entry, FindingKind::MissingLayout, Say(u8"Das Layout „%s“ wurde nicht gefunden", layout)});
  }
}

void CheckPrintout(const TWBCustomJSON& entry, const TEntryCheckSource& source, std::vector<TEntryFinding>& out) {
  if (!IsPrintEntry(entry)) return;
  const std::string printerName = entry.StringByName(entry_keys::Defaultprinter);
  const std::string binName = entry.StringByName(entry_keys::DefaultprinterBinName);
  if (source.Printers.Known && !printerName.empty()) {
    const TOfferedPrinter* printer = source.Printers.Find(printerName);
    if (printer == nullptr) {
      out.push_back(
          {&entry, FindingKind::UnknownPrinter, Say(u8"Den Drucker „%s“ bietet der Server nicht an", printerName)});
    } else if (!binName.empty()) {
      bool offered = false;
      for (const std::string& bin : printer->Bins) offered = offered || bin == binName;
      if (!offered)
        out.push_back(
            {&entry, FindingKind::UnknownBin,
             Ansi(u8"Der Drucker „") + printerName + Ansi(u8"“ hat keinen Schacht „") + binName + Ansi(u8"“")});
    }
  }
  const std::string duplex = entry.StringByName(entry_keys::DuplexType);
  bool duplexOffered = false;
  for (const std::string& value : OfferedDuplexValues()) duplexOffered = duplexOffered || value == duplex;
  if (!duplexOffered)
    out.push_back({&entry, FindingKind::UnknownDuplex,
                   Say(u8"Der Duplex-Wert „%s“ ist keiner der angebotenen (leer, horizontal, vertical)", duplex)});
  const int32_t copies = EntryCopies(entry);
  if (copies < 1)
    out.push_back({&entry, FindingKind::TooFewCopies,
                   Say(u8"Die Anzahl der Kopien ist %s, es wird also nichts gedruckt", std::to_string(copies))});
}

void CheckProgram(const TWBCustomJSON& entry, const TEntryCheckSource& source, std::vector<TEntryFinding>& out) {
  if (!IsExternEntry(entry)) return;
  const std::string program = entry.StringByName(entry_keys::ServerExeName);
  if (program.empty()) {
    out.push_back({&entry, FindingKind::MissingProgram, "Es ist kein Programm angegeben"});
  } else if (source.ProgramExists && !source.ProgramExists(program)) {
    out.push_back({&entry, FindingKind::MissingProgram, Say(u8"Das Programm „%s“ wurde nicht gefunden", program)});
  }
}

// How often each non-empty key occurs among the entries.
std::map<std::string, int> Occurrences(const TEntryCheckSource& source,
                                       const std::function<std::string(const TWBCustomJSON&)>& keyOf) {
  std::map<std::string, int> counts;
  for (const TWBCustomJSON* entry : source.Entries) {
    if (entry == nullptr) continue;
    const std::string key = keyOf(*entry);
    if (!key.empty()) ++counts[key];
  }
  return counts;
}

}  // namespace

const TOfferedPrinter* TOfferedPrinters::Find(const std::string& name) const {
  for (const TOfferedPrinter& printer : Printers)
    if (printer.Name == name) return &printer;
  return nullptr;
}

TOfferedPrinters ParseOfferedPrinters(const std::string& printersReply) {
  TOfferedPrinters offered;
  std::unique_ptr<TWBCustomJSON> reply = TWBJSONText::Parse(printersReply);
  TWBCustomJSON* printers = reply ? reply->MemberByName("Printers") : nullptr;
  if (printers == nullptr) return offered;
  for (int32_t i = 0; i < printers->ChildCount(); ++i) {
    TWBCustomJSON* printer = printers->ChildAt(i);
    if (printer == nullptr) continue;
    TOfferedPrinter item{printer->StringByName("Name"), {}};
    if (TWBCustomJSON* bins = printer->MemberByName("Bins"))
      for (int32_t b = 0; b < bins->ChildCount(); ++b)
        if (TWBCustomJSON* bin = bins->ChildAt(b)) item.Bins.push_back(bin->StringByName("Bin"));
    offered.Printers.push_back(std::move(item));
  }
  offered.Known = !offered.Printers.empty();
  return offered;
}

const std::vector<std::string>& OfferedDuplexValues() {
  static const std::vector<std::string> values = {"", "horizontal", "vertical"};
  return values;
}

std::vector<TEntryFinding> CheckEntries(const TEntryCheckSource& source) {
  const auto names = Occurrences(source, [](const TWBCustomJSON& e) { return EntryPlainName(e); });
  const auto uids = Occurrences(source, [](const TWBCustomJSON& e) { return e.StringByName(entry_keys::UID); });
  std::vector<TEntryFinding> findings;
  for (const TWBCustomJSON* entry : source.Entries) {
    if (entry == nullptr) continue;
    CheckLayouts(*entry, source, findings);
    CheckPrintout(*entry, source, findings);
    const std::string name = EntryPlainName(*entry);
    if (!name.empty() && names.at(name) > 1)
      findings.push_back({entry, FindingKind::DuplicateName,
                          Ansi(u8"Ein anderer Eintrag hat denselben Namen; ein Direktstart und Verknüpfungen "
                               u8"nehmen nur den ersten")});
    const std::string uid = entry->StringByName(entry_keys::UID);
    if (!uid.empty() && uids.at(uid) > 1)
      findings.push_back({entry, FindingKind::DuplicateUid,
                          Say(u8"Ein anderer Eintrag hat dieselbe UID %s; ein Import im Aktualisierungsmodus kann "
                              "sie nicht unterscheiden",
                              uid)});
    CheckProgram(*entry, source, findings);
  }
  return findings;
}

std::vector<const TEntryFinding*> FindingsOf(const std::vector<TEntryFinding>& findings, const TWBCustomJSON* entry) {
  std::vector<const TEntryFinding*> own;
  for (const TEntryFinding& finding : findings)
    if (finding.Entry == entry) own.push_back(&finding);
  return own;
}

bool ExternalProgramExists(const std::string& program) { return platform::ProgramExists(program); }

}  // namespace wb
