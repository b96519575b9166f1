// The command table and the handlers behind it.
#include "server/server_commands.h"

#include "ipc/server_calls.h"
#include "platform/codepage.h"
#include "platform/processes.h"
#include "server/output_production.h"
#include "server/printer_list.h"
#include "server/server_log.h"

namespace wb::server {

const TServerCommands::Command TServerCommands::kCommands[] = {
    {u"SERVERPROCESS", &TServerCommands::ServerProcess}, {u"DBPATH", &TServerCommands::DatabasePath},
    {u"APPPATH", &TServerCommands::ApplicationPath},     {u"PRINTERS", &TServerCommands::Printers},
    {u"SIMPLEGETJSON", &TServerCommands::OpenOrder},     {u"CREATEPDF", &TServerCommands::CreatePdf},
    {u"CURRENTPDF", &TServerCommands::CurrentPdf},       {u"PRINT", &TServerCommands::Print},
};

TServerCommands::TServerCommands(const TServerOptions& options, std::string pipeName, TOutputQueue& outputs)
    : options_(options), pipeName_(std::move(pipeName)), outputs_(outputs) {}

IMessageDataPtr TServerCommands::Answer(IMessageData& request) {
  TStreamStorage& values = request.GetData();
  const std::u16string command = values.ReadString(u"COMMAND");
  const std::u16string data = values.ReadString(u"DATA");
  std::u16string answer;
  bool known = false;
  for (const auto& entry : kCommands) {
    if (command != entry.Name) continue;
    answer = (this->*entry.Run)(data);
    known = true;
    break;
  }
  LogVerbose((known ? std::string() : "unbekannt: ") + platform::WideToAnsi(command) + " (" +
             std::to_string(data.size()) + " Zeichen) -> " + std::to_string(answer.size()) + " Zeichen");
  IMessageDataPtr reply = CreateMessageData();
  reply->GetData().WriteString(u"DATA", answer);
  return reply;
}

std::u16string TServerCommands::ServerProcess(const std::u16string&) {
  return platform::AnsiToWide(pipeName_ + kServerProcessSeparator + std::to_string(platform::GetCurrentProcessId()));
}

std::u16string TServerCommands::DatabasePath(const std::u16string&) {
  return platform::AnsiToWide(options_.DatabaseDir);
}

std::u16string TServerCommands::ApplicationPath(const std::u16string&) { return platform::AnsiToWide(options_.AppDir); }

std::u16string TServerCommands::Printers(const std::u16string&) { return PrintersAnswer(options_); }

std::u16string TServerCommands::OpenOrder(const std::u16string&) {
  // Read anew for every request, so that switching the file switches the order.
  std::u16string text;
  if (!options_.OrderFile.empty() && ReadTextFile(options_.OrderFile, text)) return text;
  return u"{\"Order\":[]}";
}

std::u16string TServerCommands::CreatePdf(const std::u16string& data) {
  std::string entry = platform::WideToAnsi(data);
  const TServerOptions& options = options_;
  outputs_.Add([&options, entry] { ProducePdf(options, entry, false); });
  return std::u16string();
}

std::u16string TServerCommands::CurrentPdf(const std::u16string& data) {
  std::string entry = platform::WideToAnsi(data);
  const TServerOptions& options = options_;
  outputs_.Add([&options, entry] { ProducePdf(options, entry, true); });
  return std::u16string();
}

std::u16string TServerCommands::Print(const std::u16string& data) {
  std::string entry = platform::WideToAnsi(data);
  const TServerOptions& options = options_;
  std::string refusal = PrintRefusal(options, entry);
  // The journal line is written by the output queue in either case, so lines
  // of jobs that arrive together never mix.
  outputs_.Add([&options, entry, refusal] { ProducePrint(options, entry, refusal); });
  return platform::AnsiToWide(refusal);
}

}  // namespace wb::server
