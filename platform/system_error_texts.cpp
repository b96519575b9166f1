// The German words for the system errors a user of the tool meets (a name too
// long, access denied, not found, disk full, file in use), the same on every
// platform: a message box that says "Systemfehler 206" tells nobody anything.
#include "platform/codepage.h"
#include "platform/files.h"

namespace wb::platform {
namespace {

struct ErrorText {
  uint32_t code;
  const char* text;  // UTF-8 here, 8-bit when handed out
};

// The wording of a German Windows, so both programs say the same.
constexpr ErrorText kErrorTexts[] = {
    {kErrorSuccess, "Der Vorgang wurde erfolgreich beendet."},
    {kErrorFileNotFound, "Das System kann die angegebene Datei nicht finden."},
    {kErrorPathNotFound, "Das System kann den angegebenen Pfad nicht finden."},
    {kErrorTooManyOpenFiles, "Das System kann die Datei nicht öffnen."},
    {kErrorAccessDenied, "Zugriff verweigert"},
    {kErrorNotEnoughMemory, "Es ist nicht genügend Speicher verfügbar, um diesen Befehl zu verarbeiten."},
    {kErrorWriteProtect, "Der Datenträger ist schreibgeschützt."},
    {kErrorSharingViolation,
     "Der Prozess kann nicht auf die Datei zugreifen, da sie von einem anderen Prozess verwendet wird."},
    {kErrorLockViolation,
     "Der Prozess kann nicht auf die Datei zugreifen, da ein anderer Prozess einen Teil der Datei gesperrt hat."},
    {kErrorHandleDiskFull, "Der Datenträger ist voll."},
    {kErrorBadNetPath, "Der Netzwerkpfad wurde nicht gefunden."},
    {kErrorFileExists, "Die Datei ist vorhanden."},
    {kErrorDiskFull, "Auf dem Datenträger ist nicht genügend Speicherplatz vorhanden."},
    {kErrorInvalidName, "Die Syntax für den Dateinamen, Verzeichnisnamen oder die Datenträgerbezeichnung ist falsch."},
    {kErrorDirNotEmpty, "Das Verzeichnis ist nicht leer."},
    {kErrorAlreadyExists, "Eine Datei kann nicht erstellt werden, wenn sie bereits vorhanden ist."},
    {kErrorFilenameExcedRange, "Der Dateiname oder die Erweiterung ist zu lang."},
    {kErrorPipeBusy, "Alle Pipeinstanzen sind ausgelastet."},
    {kErrorWaitTimeout, "Der Wartevorgang wurde abgebrochen."},
    {kErrorBrokenPipe, "Die Pipe wurde beendet."},
};

}  // namespace

std::string KnownSystemErrorText(uint32_t code) {
  for (const ErrorText& entry : kErrorTexts)
    if (entry.code == code) return Utf8ToAnsi(entry.text);
  return {};
}

}  // namespace wb::platform
