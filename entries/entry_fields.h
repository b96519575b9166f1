// The entry record: member names, the values read from an entry, the example
// entry, the document types, and the display text of a list line.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "json/wbjson.h"

namespace wb {

namespace entry_keys {
inline constexpr const char* Info = "Info";
inline constexpr const char* FilterPOT = "Filter.POT";
inline constexpr const char* FilterOutput = "Filter.Output";
inline constexpr const char* FilterLayoutName = "Filter.LayoutName";
inline constexpr const char* Destination = "Destination";
inline constexpr const char* SuperLayoutname = "SuperLayoutname";
inline constexpr const char* LabelPrinter = "LabelPrinter";
inline constexpr const char* Defaultprinter = "Defaultprinter";
inline constexpr const char* DefaultprinterBinName = "DefaultprinterBinName";
inline constexpr const char* DuplexType = "DuplexType";
inline constexpr const char* Copies = "Copies";
inline constexpr const char* Forbidden = "Forbidden";
inline constexpr const char* UID = "UID";
inline constexpr const char* ServerExeName = "ServerExeName";
inline constexpr const char* PDFFileName = "PDFFileName";
inline constexpr const char* LogFileName = "LogFileName";
inline constexpr const char* Items = "Items";
}  // namespace entry_keys

inline constexpr const char* kLogFileNameValue = "<TMP>log.json";
inline constexpr const char* kNotUsedMarker = "  [Nicht benutzt]";

// The document types offered for "Filter.POT", as stored (upper case).
extern const std::array<const char8_t*, 12> kDocumentTypes;

// Reading an entry: a missing string is "", a missing or null "Forbidden" is
// false, a missing or null "Copies" is 0 (text that is no whole number too).
std::string EntryString(const TWBCustomJSON& entry, const char* key);
bool EntryForbidden(const TWBCustomJSON& entry);
int32_t EntryCopies(const TWBCustomJSON& entry);
// "Destination" lower-cased (A-Z only: the values that matter are "pdf" and "print").
std::string EntryDestinationLower(const TWBCustomJSON& entry);
// A print entry: "Destination" is "print" in any case (what a run sends as PRINT).
bool IsPrintEntry(const TWBCustomJSON& entry);
// "Info" as plain text (markup stripped).
std::string EntryPlainName(const TWBCustomJSON& entry);

// "[" + Destination + "] " + plain name (+ "  [Nicht benutzt]" when switched off).
std::string EntryDisplayText(const TWBCustomJSON& entry);

// Sets a new "UID" when the entry's "UID" reads empty; an existing one stays.
void EnsureEntryUid(TWBJSON& entry);

// The example document: "LogFileName" and one switched-off example entry.
std::unique_ptr<TWBJSON> BuildExampleDocument();

}  // namespace wb
