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
        error = Ansi("--launch braucht ein Programm.");
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
        error = FormatMessageText(Ansi("Die Option %s braucht einen Wert."), argument);
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
      error = FormatMessageText(Ansi("Unbekannte Option: %s (--help zeigt die Optionen)"), argument);
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
      "wbk-localserver: Ersatz für den lokalen Server der Werkbank.\n"
      "Beantwortet die Anfragen der Mehrfachausgabe über eine Named Pipe.\n"
      "\n"
      "Aufruf: wbk-localserver [Optionen] [--launch PROGRAMM [ARGUMENTE...]]\n"
      "\n"
      "  --database ORDNER   Datenbankordner (Antwort auf DBPATH)\n"
      "  --appdir ORDNER     Installationsordner (Antwort auf APPPATH); darunter\n"
      "                      SPOOLER/PDFX/ für Spool-Dateien und SPOOLER/PRINTJOURNAL.TXT\n"
      "  --pipe NAME         Name der Pipe (Vorgabe: WBK-LOCALSERVER-<Prozessnummer>);\n"
      "                      wird in WBK-EXCHANGELOCALSERVICE.TXT eingetragen\n"
      "  --order DATEI       JSON des offenen Auftrags (Antwort auf SIMPLEGETJSON),\n"
      "                      bei jeder Anfrage neu gelesen\n"
      "  --printers DATEI    JSON der Drucker und Schächte (Antwort auf PRINTERS);\n"
      "                      ohne sie die Drucker von CUPS, sonst die Demo-Liste\n"
      "  --no-cups           CUPS nicht fragen: Demo-Drucker, Druck nur ins Journal\n"
      "  --launch PROGRAMM   startet PROGRAMM (mit allen folgenden Argumenten) als\n"
      "                      Kindprozess und endet, wenn es endet\n"
      "  --verbose           jede Anfrage auf stderr protokollieren\n"
      "  --help              diese Hilfe\n");
}

}  // namespace wb::server
