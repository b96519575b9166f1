// Desktop shortcuts for one entry: "Verknüpfung erstellen" puts a link on the
// desktop that starts this program with the entry's name as its one argument,
// so the entry's output is produced without opening the list.
#pragma once

#include <optional>
#include <string>

namespace wb {

class TLiveImportFrm;

// The "Verknüpfung erstellen" link: a shortcut for the selected entry, then
// the message that names it, or the message that it could not be written.
void CreateEntryShortcut(TLiveImportFrm& frm);

// Writes a link to this program with the arguments into the folder (none: the
// desktop; an empty folder gives no link) under the link name. The arguments
// text is the one argument the program receives; the command-line form quotes
// it by the Windows run-time's rules. True when the link was written; linkPath
// gets the file's path (also when writing failed; platform::LastError tells why).
bool CreateShellLink(const std::string& arguments, const std::string& description,
                     const std::optional<std::string>& folder, const std::string& linkName, std::string& linkPath);

// The file name of a link: double quotes removed, path delimiters replaced
// (the link stays in its folder), the other characters that a file name cannot
// hold removed as MakeSafeFileName does, trimmed ("Mehrfachausgabe" when
// nothing is left), the platform's link extension appended unless the name
// already ends with it (compared without regard to case).
std::string ShellLinkFileName(const std::string& linkName);

// The arguments as one command-line text: within double quotes, inner quotes
// and the backslashes before them escaped by the Windows run-time's rules.
std::string ShellLinkArgumentsText(const std::string& arguments);

// The name the link shows on the desktop: its file name without the extension.
std::string ShortcutDisplayName(const std::string& entryName);

// The messages after "Verknüpfung erstellen" (8-bit).
std::string ShortcutCreatedMessage(const std::string& entryName);
// An entry without a name gets no link: its file would have no name either.
inline constexpr const char8_t* kShortcutWithoutNameText =
    u8"Für einen Eintrag ohne Namen kann keine Verknüpfung erstellt werden. Bitte geben Sie ihm zuerst unter "
    u8"„Eigenschaften“ einen Namen.";
std::string ShortcutFailedMessage(const std::string& linkPath, const std::string& reason);

}  // namespace wb
