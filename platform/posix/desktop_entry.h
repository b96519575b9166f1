// Reading a desktop entry (a .desktop file) for the program it starts: the
// value of a key in the [Desktop Entry] group and the split of an Exec value
// into arguments, by the Desktop Entry rules. Functions of text only, so that
// any bytes a file may hold can be tried on them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wb::platform {

// The value of key in the [Desktop Entry] group, blanks around it removed and
// the string escapes (\s \n \t \r \\) resolved; any other backslash pair is
// kept as it stands, for the quoting rules of Exec. The first such key counts;
// nullopt when the group has none.
std::optional<std::string> DesktopEntryValue(std::string_view fileText, std::string_view key);

// Splits an Exec value (string escapes already resolved) into arguments:
// blanks separate them; inside double quotes a backslash makes the next
// character stand for itself. Field codes ("%f", "%%") are left as written.
// nullopt for an unclosed quote.
std::optional<std::vector<std::string>> SplitExecArguments(std::string_view value);

// An argument of Exec as the program receives it when it is not a field code:
// "%%" stands for "%".
std::string ExecArgumentText(std::string_view argument);

}  // namespace wb::platform
