// Builds the benchmark inputs with a fixed seed.
#include "bench_json_inputs.h"

#include <memory>
#include <random>

#include "json/wbjson.h"
#include "platform/codepage.h"

namespace wb::bench {
namespace {

const char* const kDocumentTypes[] = {"rechnung",   "angebot",      "bestellung",         "brief",
                                      "gutschrift", "lieferschein", "auftragsbestätigung"};
const char* const kDestinations[] = {"pdf", "print", "Extern"};
const char* const kPrinters[] = {"Büro-Laser 1", "Etikettendrucker Lager", "Kopierer 2. OG", ""};
const char* const kBins[] = {"Automatisch", "Fach 1", "Fach 2", "Manuelle Zufuhr", ""};

std::string Guid(std::mt19937& random) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (int group : {8, 4, 4, 4, 12}) {
    if (!text.empty()) text += '-';
    for (int i = 0; i < group; ++i) text += kHex[random() % 16];
  }
  return text;
}

template <std::size_t N>
const char* Pick(std::mt19937& random, const char* const (&table)[N]) {
  return table[random() % N];
}

void SetText(TWBJSON& object, const char* name, std::string_view utf8) {
  object.SetStringByName(name, platform::Utf8ToAnsi(utf8));
}

}  // namespace

std::string EntriesFileText(int entryCount) {
  std::mt19937 random(4711);
  TWBJSON root;
  root.SetStringByName("LogFileName", "<TMP>log.json");
  auto* items = root.AddMemberAndGet(u"Items", std::make_unique<TWBSONList>());
  for (int i = 0; i < entryCount; ++i) {
    auto* entry = items->AppendAndGet(std::make_unique<TWBJSON>());
    SetText(*entry, "Info", "<b>Lieferschein " + std::to_string(i) + "</b> für Ändern & Prüfen");
    SetText(*entry, "Filter.POT", Pick(random, kDocumentTypes));
    SetText(*entry, "Filter.Output", random() % 2 ? "mail" : "print");
    SetText(*entry, "Filter.LayoutName", random() % 3 ? "" : "Standard_" + std::to_string(random() % 20));
    SetText(*entry, "Destination", Pick(random, kDestinations));
    SetText(*entry, "SuperLayoutname", "Etikett_" + std::to_string(random() % 50));
    SetText(*entry, "LabelPrinter", random() % 2 ? "" : "top bottom");
    SetText(*entry, "Defaultprinter", Pick(random, kPrinters));
    SetText(*entry, "DefaultprinterBinName", Pick(random, kBins));
    SetText(*entry, "DuplexType", random() % 2 ? "" : "vertical");
    entry->SetIntegerByName("Copies", static_cast<int32_t>(1 + random() % 3));
    entry->SetBooleanByName("Forbidden", random() % 4 == 0);
    entry->SetStringByName("UID", Guid(random));
  }
  return platform::AnsiToUtf8(GenerateIndented(&root));
}

std::string ServerReplyText(std::size_t targetBytes) {
  std::mt19937 random(815);
  TWBJSON root;
  auto* printers = root.AddMemberAndGet(u"Printers", std::make_unique<TWBSONList>());
  for (int p = 0; p < 40; ++p) {
    auto* printer = printers->AppendAndGet(std::make_unique<TWBJSON>());
    SetText(*printer, "Name", std::string(Pick(random, kPrinters)) + " #" + std::to_string(p));
    printer->SetBooleanByName("Default", p == 0);
    auto* bins = printer->AddMemberAndGet(u"Bins", std::make_unique<TWBSONList>());
    for (int b = 0; b < 5; ++b) {
      auto* bin = bins->AppendAndGet(std::make_unique<TWBJSON>());
      SetText(*bin, "Bin", kBins[b % 4]);
      bin->SetIntegerByName("Id", 256 + b);
    }
  }
  auto* orders = root.AddMemberAndGet(u"Order", std::make_unique<TWBSONList>());
  for (int o = 0; o % 32 != 0 || TWBJSONText::Generate(&root).size() < targetBytes; ++o) {
    auto* order = orders->AppendAndGet(std::make_unique<TWBJSON>());
    SetText(*order, "PrintName", "Rechnung " + std::to_string(20240000 + o));
    order->SetStringByName("PrintUID", Guid(random));
    SetText(*order, "Kunde", "Müller & Söhne GmbH, Hauptstraße " + std::to_string(random() % 200));
    order->SetFloatByName("Brutto", static_cast<double>(random() % 10000000) / 100);
    order->AddMember(u"Bemerkung", std::make_unique<TWBJSONnull>());
    auto* lines = order->AddMemberAndGet(u"Positionen", std::make_unique<TWBSONList>());
    for (int l = 0; l < 20; ++l) {
      auto* line = lines->AppendAndGet(std::make_unique<TWBJSON>());
      line->SetIntegerByName("Pos", l + 1);
      SetText(*line, "Text", "Artikel " + std::to_string(random() % 5000) + " – Größe M");
      line->SetFloatByName("Menge", static_cast<double>(random() % 1000) / 4);
      line->SetFloatByName("Preis", static_cast<double>(random() % 100000) / 100);
      line->SetBooleanByName("Rabatt", random() % 5 == 0);
    }
  }
  return platform::AnsiToUtf8(TWBJSONText::Generate(&root));
}

}  // namespace wb::bench
