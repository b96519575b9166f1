// Reading the desktop's user-dirs.dirs, the file that names the user's
// desktop, documents and other folders. It is a fragment of shell script:
//   XDG_DESKTOP_DIR="$HOME/Schreibtisch"
// A function of text only, so that any bytes the file may hold can be tried.
#pragma once

#include <string>
#include <string_view>

namespace wb::platform {

// The folder the file names for key (UTF-8, as written), or "" when it names
// none. A value is an absolute path or one below "$HOME/" (home stands in for
// it), double-quoted or not; a backslash makes the next character stand for
// itself. Lines starting with "#" are comments. As when the shell reads the
// file, a later assignment of a key overrides an earlier one; values of
// another form (a relative path, another variable) are passed over.
std::string UserDirFromText(std::string_view fileText, std::string_view key, std::string_view home);

}  // namespace wb::platform
