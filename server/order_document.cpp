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
  const char8_t* Label;
  bool Markup;  // the value may carry the entry-name markup
};

// The entry members that describe an output, in the order a reader looks for them.
constexpr EntryField kEntryFields[] = {
    {"Info", u8"Eintrag", true},
    {"SuperLayoutname", u8"Layout", false},
    {"Destination", u8"Ziel", false},
    {"Defaultprinter", u8"Drucker", false},
    {"DefaultprinterBinName", u8"Schacht", false},
    {"DuplexType", u8"Duplex", false},
    {"Copies", u8"Exemplare", false},
    {"LabelPrinter", u8"Formularbereiche", false},
};

std::u16string Wide(std::u8string_view utf8) { return platform::Utf8ToWide(platform::Utf8Bytes(utf8)); }

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
    document.Title = Wide(u8"Kein offener Auftrag");
  } else {
    std::u16string printName = ValueText(open->ValueByName(u"PrintName"));
    document.Title = printName.empty() ? Wide(u8"Auftrag") : printName;
    for (int32_t i = 0; i < open->ChildCount(); ++i) {
      document.OrderFields.push_back({open->NameAt(i), ValueText(open->ValueAt(i))});
    }
  }

  auto* settings = JSONAs<TWBJSON>(entry);
  if (settings == nullptr) {
    document.Subtitle = Wide(u8"Vollständiges Dokument");
    return document;
  }
  document.Subtitle = Wide(u8"Ausgabe eines Eintrags");
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
