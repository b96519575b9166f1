// The German words for the system errors a user of the tool meets (a name too
// long, access denied, not found, disk full, file in use), the same on every
// platform: a message box that says "Systemfehler 206" tells nobody anything.
#include "platform/codepage.h"
#include "platform/files.h"

namespace wb::platform {
namespace {

struct ErrorText {
  uint32_t code;
  const char8_t* text;  // 8-bit when handed out
};

// The wording of a German Windows, so both programs say the same.
constexpr ErrorText kErrorTexts[] = {
    {kErrorSuccess, u8"Der Vorgang wurde erfolgreich beendet."},
    {kErrorFileNotFound, u8"Das System kann die angegebene Datei nicht finden."},
    {kErrorPathNotFound, u8"Das System kann den angegebenen Pfad nicht finden."},
    {kErrorTooManyOpenFiles, u8"Das System kann die Datei nicht öffnen."},
    {kErrorAccessDenied, u8"Zugriff verweigert"},
    {kErrorNotEnoughMemory, u8"Es ist nicht genügend Speicher verfügbar, um diesen Befehl zu verarbeiten."},
    {kErrorWriteProtect, u8"Der Datenträger ist schreibgeschützt."},
    {kErrorSharingViolation,
     u8"Der Prozess kann nicht auf die Datei zugreifen, da sie von einem anderen Prozess verwendet wird."},
    {kErrorLockViolation,
     u8"Der Prozess kann nicht auf die Datei zugreifen, da ein anderer Prozess einen Teil der Datei gesperrt hat."},
    {kErrorHandleDiskFull, u8"Der Datenträger ist voll."},
    {kErrorBadNetPath, u8"Der Netzwerkpfad wurde nicht gefunden."},
    {kErrorFileExists, u8"Die Datei ist vorhanden."},
    {kErrorDiskFull, u8"Auf dem Datenträger ist nicht genügend Speicherplatz vorhanden."},
    {kErrorInvalidName,
     u8"Die Syntax für den Dateinamen, Verzeichnisnamen oder die Datenträgerbezeichnung ist falsch."},
    {kErrorDirNotEmpty, u8"Das Verzeichnis ist nicht leer."},
    {kErrorAlreadyExists, u8"Eine Datei kann nicht erstellt werden, wenn sie bereits vorhanden ist."},
    {kErrorFilenameExcedRange, u8"Der Dateiname oder die Erweiterung ist zu lang."},
    {kErrorPipeBusy, u8"Alle Pipeinstanzen sind ausgelastet."},
    {kErrorWaitTimeout, u8"Der Wartevorgang wurde abgebrochen."},
    {kErrorBrokenPipe, u8"Die Pipe wurde beendet."},
};

}  // namespace

std::string KnownSystemErrorText(uint32_t code) {
  for (const ErrorText& entry : kErrorTexts)
    if (entry.code == code) return Ansi(entry.text);
  return {};
}

}  // namespace wb::platform
