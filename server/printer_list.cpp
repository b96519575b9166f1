// Where the PRINTERS answer comes from, in order of precedence.
#include "server/printer_list.h"

#include <memory>

#include "client/file_helpers.h"
#include "client/streams.h"
#include "json/wbjson.h"
#include "platform/codepage.h"
#include "server/demo_printers.h"
#include "server/server_log.h"

namespace wb::server {

namespace {

std::u16string DecodeText(std::string_view bytes) {
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);  // UTF-8 byte order mark
  std::u16string text;
  if (platform::TryUtf8ToWide(bytes, text)) return text;
  return platform::AnsiToWide(bytes);
}

}  // namespace

bool ReadTextFile(const std::string& fileName, std::u16string& text) {
  try {
    if (!FileExistsEx(fileName)) return false;
    std::unique_ptr<TFileStream> stream;
    OpenReadShared(fileName, stream);
    text = DecodeText(stream->ReadRest());
    return true;
  } catch (const Exception&) {
    return false;
  }
}

std::string PrintersJson(const std::vector<TPrinterInfo>& printers) {
  TWBJSON root;
  auto* list = root.AddMemberAndGet(u"Printers", std::make_unique<TWBSONList>());
  for (const auto& printer : printers) {
    auto entry = std::make_unique<TWBJSON>();
    entry->SetStringByName("Name", printer.Name);
    auto* bins = entry->AddMemberAndGet(u"Bins", std::make_unique<TWBSONList>());
    for (const auto& bin : printer.Bins) {
      auto slot = std::make_unique<TWBJSON>();
      slot->SetStringByName("Bin", bin);
      bins->Add(std::move(slot));
    }
    list->Add(std::move(entry));
  }
  return TWBJSONText::Generate(&root);
}

std::u16string DemoPrintersJson() {
  return DecodeText(std::string_view(reinterpret_cast<const char*>(kDemoPrintersJson), kDemoPrintersJsonSize));
}

std::u16string PrintersAnswer(const TServerOptions& options) {
  if (!options.PrintersFile.empty()) {
    std::u16string text;
    if (ReadTextFile(options.PrintersFile, text)) return text;
    LogLine(FormatMessageText("Die Druckerliste %s kann nicht gelesen werden.", options.PrintersFile));
    return std::u16string();
  }
  if (!options.NoCups) {
    std::vector<TPrinterInfo> printers;
    if (ListCupsPrinters(printers)) return platform::AnsiToWide(PrintersJson(printers));
  }
  return DemoPrintersJson();
}

}  // namespace wb::server
