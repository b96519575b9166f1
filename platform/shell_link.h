// Shell links: a file on the desktop that starts a program with arguments.
// Windows: a .lnk written through the shell's link object. POSIX: a
// freedesktop .desktop launcher with Exec, Path, Icon and Name, made
// executable and, where the desktop's gio tool exists, marked trusted so the
// file manager runs it on a double click instead of asking.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wb::platform {

#ifdef _WIN32
inline constexpr const char* kShellLinkExtension = ".lnk";
#else
inline constexpr const char* kShellLinkExtension = ".desktop";
#endif

// SW_SHOWNORMAL: the program's window in its normal state.
inline constexpr int32_t kShowNormal = 1;

// The description of one link, in the order of the link object's fields.
struct TShellLink {
  // The arguments as one command-line text (the Windows form: quoted as the
  // program's run-time splits them).
  std::string Arguments;
  // The same arguments one by one, as the started program receives them; the
  // POSIX launcher lists these (each exactly one argument of Exec).
  std::vector<std::string> ArgumentList;
  int32_t ShowCommand = kShowNormal;
  std::string WorkingDirectory;
  std::string Path;  // the program
  std::string Description;
  std::string IconLocation;
  int32_t IconIndex = 0;
  uint16_t HotKey = 0;
};

// Writes the link to linkPath (which already carries kShellLinkExtension when
// wanted), overwriting a file of that name. False with LastError set when it
// could not be written.
bool SaveShellLink(const TShellLink& link, const std::string& linkPath);

// The running program's own executable file.
std::string GetModuleFileName();

#ifndef _WIN32
// The launcher's Exec value (as written in the file) for a program and its
// arguments: each double-quoted with the Desktop Entry quoting rules, "%%" for
// a per-cent sign, then the format's string escapes. Bytes beyond ASCII pass
// unchanged. Exposed for tests.
std::string DesktopExecValue(const std::string& program, const std::vector<std::string>& arguments);
// A value of the Desktop Entry format as written in the file (\\ \s \n \t \r escapes).
std::string DesktopStringValue(const std::string& value);
#endif

}  // namespace wb::platform
