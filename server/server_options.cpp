// Parsing of wbk-localserver's options: a table of the options that take a value,
// then the flags, then --launch, which takes the rest of the line.
#include "server/server_options.h"

#include <utility>

#include "client/client_dirs.h"
#include "platform/codepage.h"
#include "platform/errors.h"

namespace wb::server {

namespace {

struct ValueOption {
  const char* Name;
  std::string TServerOptions::*Field;
};

constexpr ValueOption kValueOptions[] = {
    {"--database", &TServerOptions::DatabaseDir},  {"--appdir", &TServerOptions::AppDir},
    {"--pipe", &TServerOptions::PipeName},         {"--order", &TServerOptions::OrderFile},
    {"--printers", &TServerOptions::PrintersFile},
};

struct FlagOption {
  const char* Name;
  bool TServerOptions::*Field;
};

constexpr FlagOption kFlagOptions[] = {
    {"--no-cups", &TServerOptions::NoCups},
    {"--verbose", &TServerOptions::Verbose},
    {"--help", &TServerOptions::Help},
    {"-h", &TServerOptions::Help},
};

}  // namespace

bool ParseServerOptions(const std::vector<std::string>& arguments, TServerOptions& options, std::string& error) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--launch") {
      if (i + 1 >= arguments.size()) {
        error = "--launch braucht ein Programm.";
        return false;
      }
      options.LaunchProgram = arguments[i + 1];
      options.LaunchArguments.assign(arguments.begin() + static_cast<std::ptrdiff_t>(i) + 2, arguments.end());
      break;
    }
    bool known = false;
    for (const auto& option : kValueOptions) {
      if (argument != option.Name) continue;
      if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
        error = FormatMessageText("Die Option %s braucht einen Wert.", argument);
        return false;
      }
      options.*option.Field = arguments[++i];
      known = true;
    }
    for (const auto& flag : kFlagOptions) {
      if (argument != flag.Name) continue;
      options.*flag.Field = true;
      known = true;
    }
    if (!known) {
      error = FormatMessageText("Unbekannte Option: %s (--help zeigt die Optionen)", argument);
      return false;
    }
  }
  // Folder answers end with the path delimiter, as the suite's server sends them.
  if (!options.DatabaseDir.empty()) options.DatabaseDir = AddTrailingBackslash(options.DatabaseDir);
  if (!options.AppDir.empty()) options.AppDir = AddTrailingBackslash(options.AppDir);
  return true;
}

std::string ServerHelpText() {
  return Ansi(
      u8"wbk-localserver: Ersatz für den lokalen Server der Werkbank.\n"
      u8"Beantwortet die Anfragen der Mehrfachausgabe über eine Named Pipe.\n"
      u8"\n"
      u8"Aufruf: wbk-localserver [Optionen] [--launch PROGRAMM [ARGUMENTE...]]\n"
      u8"\n"
      u8"  --database ORDNER   Datenbankordner (Antwort auf DBPATH)\n"
      u8"  --appdir ORDNER     Installationsordner (Antwort auf APPPATH); darunter\n"
      u8"                      SPOOLER/PDFX/ für Spool-Dateien und SPOOLER/PRINTJOURNAL.TXT\n"
      u8"  --pipe NAME         Name der Pipe (Vorgabe: WBK-LOCALSERVER-<Prozessnummer>);\n"
      u8"                      wird in WBK-EXCHANGELOCALSERVICE.TXT eingetragen\n"
      u8"  --order DATEI       JSON des offenen Auftrags (Antwort auf SIMPLEGETJSON),\n"
      u8"                      bei jeder Anfrage neu gelesen\n"
      u8"  --printers DATEI    JSON der Drucker und Schächte (Antwort auf PRINTERS);\n"
      u8"                      ohne sie die Drucker von CUPS, sonst die Demo-Liste\n"
      u8"  --no-cups           CUPS nicht fragen: Demo-Drucker, Druck nur ins Journal\n"
      u8"  --launch PROGRAMM   startet PROGRAMM (mit allen folgenden Argumenten) als\n"
      u8"                      Kindprozess und endet, wenn es endet\n"
      u8"  --verbose           jede Anfrage auf stderr protokollieren\n"
      u8"  --help              diese Hilfe\n");
}

}  // namespace wb::server
