// BuildOrderDocument: the order's members as label/value lines, then the entry's
// output settings under German labels.
#include "server/order_document.h"

#include "json/wbjson.h"
#include "platform/codepage.h"
#include "strings/strutils.h"

namespace wb::server {

namespace {

struct EntryField {
  const char* Key;
  const char* Label;  // UTF-8
  bool Markup;        // the value may carry the entry-name markup
};

// The entry members that describe an output, in the order a reader looks for them.
constexpr EntryField kEntryFields[] = {
    {"Info", "Eintrag", true},
    {"SuperLayoutname", "Layout", false},
    {"Destination", "Ziel", false},
    {"Defaultprinter", "Drucker", false},
    {"DefaultprinterBinName", "Schacht", false},
    {"DuplexType", "Duplex", false},
    {"Copies", "Exemplare", false},
    {"LabelPrinter", "Formularbereiche", false},
};

std::u16string Wide(const char* utf8) { return platform::Utf8ToWide(utf8); }

}  // namespace

std::u16string ValueText(const TWBCustomJSON* value) {
  if (value == nullptr) return std::u16string();
  if (auto* text = JSONAs<TWBJSONstring>(value)) return std::u16string(text->Value());
  if (auto* flag = JSONAs<TWBJSONboolean>(value)) return flag->Value() ? u"ja" : u"nein";
  if (JSONAs<TWBJSONnull>(value) != nullptr) return std::u16string();
  return platform::AnsiToWide(TWBJSONText::Generate(value));
}

const TWBCustomJSON* OpenOrderOf(const TWBCustomJSON* order) {
  auto* root = JSONAs<TWBJSON>(order);
  if (root == nullptr) return nullptr;
  auto* orders = JSONAs<TWBSONList>(root->ValueByName(u"Order"));
  if (orders == nullptr || orders->ChildCount() == 0) return nullptr;
  return orders->ChildAt(0);
}

TOrderDocument BuildOrderDocument(const TWBCustomJSON* order, const TWBCustomJSON* entry,
                                  const std::u16string& footer) {
  TOrderDocument document;
  document.Footer = footer;
  auto* open = JSONAs<TWBJSON>(OpenOrderOf(order));
  if (open == nullptr) {
    document.Title = Wide("Kein offener Auftrag");
  } else {
    std::u16string printName = ValueText(open->ValueByName(u"PrintName"));
    document.Title = printName.empty() ? Wide("Auftrag") : printName;
    for (int32_t i = 0; i < open->ChildCount(); ++i) {
      document.OrderFields.push_back({open->NameAt(i), ValueText(open->ValueAt(i))});
    }
  }

  auto* settings = JSONAs<TWBJSON>(entry);
  if (settings == nullptr) {
    document.Subtitle = Wide("Vollständiges Dokument");
    return document;
  }
  document.Subtitle = Wide("Ausgabe eines Eintrags");
  for (const auto& field : kEntryFields) {
    std::u16string value = ValueText(settings->ValueByAnsiName(field.Key));
    if (field.Markup) {
      std::string plain = platform::WideToAnsi(value);
      StripHTMLMarkup(plain);
      value = platform::AnsiToWide(plain);
    }
    if (value.empty()) value.push_back(u'-');  // (assigning a literal trips a false -Wrestrict in GCC 12)
    document.OutputFields.push_back({Wide(field.Label), value});
  }
  return document;
}

}  // namespace wb::server
