// The program's usage, version and no-server texts.
#include "app/program_info.h"

#include "platform/codepage.h"

#ifndef WB_VERSION
#define WB_VERSION "0"
#endif

namespace wb {

InfoRequest InfoRequestOf(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return InfoRequest::None;
  if (arguments[0] == "--help") return InfoRequest::Help;
  if (arguments[0] == "--version") return InfoRequest::Version;
  return InfoRequest::None;
}

std::string UsageText() {
  return Ansi(
      u8"Aufruf: mehrfachausgabe [EINTRAG | DATEI.json [U] | --export DATEI [EINTRAG ...] [--force] |\n"
      u8"                        --check | --preview EINTRAG]\n"
      u8"\n"
      u8"Erzeugt zusätzliche Ausgaben (PDF oder Ausdruck) für den Auftrag, der in der\n"
      u8"Werkbank offen ist. Das Programm wird vom lokalen Server der Werkbank gestartet\n"
      u8"und fragt ihn nach dem Datenbank- und dem Installationsordner; unter Linux ist\n"
      u8"das wbk-localserver:\n"
      u8"\n"
      u8"  wbk-localserver --database ORDNER --appdir ORDNER --launch mehrfachausgabe [ARGUMENTE]\n"
      u8"\n"
      u8"Ohne Argument zeigt es das Fenster mit der Liste der Einträge.\n"
      u8"  EINTRAG        Name oder UID eines Eintrags: erzeugt dessen Ausgabe und endet\n"
      u8"  DATEI.json     fügt die Einträge der Datei mit neuer UID hinzu und endet\n"
      u8"  DATEI.json U   aktualisiert dazu die Einträge, deren UID schon bekannt ist\n"
      u8"  --export DATEI [EINTRAG ...] [--force]\n"
      u8"                 schreibt die genannten Einträge (ohne Namen alle) in DATEI, im\n"
      u8"                 Format, das DATEI.json oben einliest; eine vorhandene Datei\n"
      u8"                 wird nur mit --force ersetzt\n"
      u8"  --check        prüft alle Einträge (Layouts, Drucker, Schächte, Duplex, Anzahl,\n"
      u8"                 doppelte Namen und UIDs, externe Programme); eine Zeile je Befund\n"
      u8"  --preview EINTRAG\n"
      u8"                 erzeugt die Ausgabe eines Druck-Eintrags als PDF und öffnet es\n"
      u8"  --help         diese Hilfe\n"
      u8"  --version      die Version des Programms\n"
      u8"\n"
      u8"Ende mit 0, wenn alles getan ist und --check nichts fand; 1, wenn --check etwas\n"
      u8"fand oder --export nicht schreiben konnte; 2 bei falschen Argumenten, ohne\n"
      u8"Server oder ohne lesbare Einträge.\n");
}

std::string VersionText() { return std::string("mehrfachausgabe ") + WB_VERSION + "\n"; }

std::string NoServerText() {
  return "mehrfachausgabe: Kein Server der Werkbank hat geantwortet oder einen Datenbankordner genannt; "
         "das Programm wird vom Server gestartet, z. B. mit wbk-localserver --database ORDNER "
         "--appdir ORDNER --launch mehrfachausgabe (mehr mit --help).\n";
}

std::string NotRunningText() {
  return Ansi(
      u8"Werkbank läuft nicht: kein Server der Werkbank hat geantwortet.\r\n"
      u8"Bitte starten Sie Werkbank und rufen Sie die Verknüpfung danach noch einmal auf.");
}

std::string ServerGoneText() {
  return Ansi(
      u8"Die Verbindung zu Werkbank ist unterbrochen: ihr Server antwortet nicht mehr.\r\n"
      u8"Bitte prüfen Sie, ob Werkbank noch läuft, und starten Sie sie gegebenenfalls neu; "
      u8"Mehrfachausgabe wird danach aus Werkbank heraus neu geöffnet.");
}

}  // namespace wb
