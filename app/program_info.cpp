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
      "Aufruf: mehrfachausgabe [EINTRAG | DATEI.json [U] | --export DATEI [EINTRAG ...] [--force] |\n"
      "                        --check | --preview EINTRAG]\n"
      "\n"
      "Erzeugt zusätzliche Ausgaben (PDF oder Ausdruck) für den Auftrag, der in der\n"
      "Werkbank offen ist. Das Programm wird vom lokalen Server der Werkbank gestartet\n"
      "und fragt ihn nach dem Datenbank- und dem Installationsordner; unter Linux ist\n"
      "das wbk-localserver:\n"
      "\n"
      "  wbk-localserver --database ORDNER --appdir ORDNER --launch mehrfachausgabe [ARGUMENTE]\n"
      "\n"
      "Ohne Argument zeigt es das Fenster mit der Liste der Einträge.\n"
      "  EINTRAG        Name oder UID eines Eintrags: erzeugt dessen Ausgabe und endet\n"
      "  DATEI.json     fügt die Einträge der Datei mit neuer UID hinzu und endet\n"
      "  DATEI.json U   aktualisiert dazu die Einträge, deren UID schon bekannt ist\n"
      "  --export DATEI [EINTRAG ...] [--force]\n"
      "                 schreibt die genannten Einträge (ohne Namen alle) in DATEI, im\n"
      "                 Format, das DATEI.json oben einliest; eine vorhandene Datei\n"
      "                 wird nur mit --force ersetzt\n"
      "  --check        prüft alle Einträge (Layouts, Drucker, Schächte, Duplex, Anzahl,\n"
      "                 doppelte Namen und UIDs, externe Programme); eine Zeile je Befund\n"
      "  --preview EINTRAG\n"
      "                 erzeugt die Ausgabe eines Druck-Eintrags als PDF und öffnet es\n"
      "  --help         diese Hilfe\n"
      "  --version      die Version des Programms\n"
      "\n"
      "Ende mit 0, wenn alles getan ist und --check nichts fand; 1, wenn --check etwas\n"
      "fand oder --export nicht schreiben konnte; 2 bei falschen Argumenten, ohne\n"
      "Server oder ohne lesbare Einträge.\n");
}

std::string VersionText() { return std::string("mehrfachausgabe ") + WB_VERSION + "\n"; }

std::string NoServerText() {
  return Ansi(
      "mehrfachausgabe: Kein Server der Werkbank hat geantwortet oder einen Datenbankordner genannt; "
      "das Programm wird vom Server gestartet, z. B. mit wbk-localserver --database ORDNER "
      "--appdir ORDNER --launch mehrfachausgabe (mehr mit --help).\n");
}

std::string NotRunningText() {
  return Ansi(
      "Werkbank läuft nicht: kein Server der Werkbank hat geantwortet.\r\n"
      "Bitte starten Sie Werkbank und rufen Sie die Verknüpfung danach noch einmal auf.");
}

std::string ServerGoneText() {
  return Ansi(
      "Die Verbindung zu Werkbank ist unterbrochen: ihr Server antwortet nicht mehr.\r\n"
      "Bitte prüfen Sie, ob Werkbank noch läuft, und starten Sie sie gegebenenfalls neu; "
      "Mehrfachausgabe wird danach aus Werkbank heraus neu geöffnet.");
}

}  // namespace wb
