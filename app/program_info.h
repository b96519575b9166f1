// What the program says on the command line, before and instead of a window:
// its usage and version on request, and why it ended at once when no server
// of the suite gave it a database folder. Texts are 8-bit and German; each
// front end prints them on its standard streams.
#pragma once

#include <string>
#include <vector>

namespace wb {

enum class InfoRequest { None, Help, Version };

// "--help" or "--version" as the first argument asks for information instead
// of a run (no entry and no import file is looked for under those names).
InfoRequest InfoRequestOf(const std::vector<std::string>& arguments);

std::string UsageText();    // several lines, each ending with "\n"
std::string VersionText();  // one line, ending with "\n"
// The one line for standard error when the window closes at once because no
// server named a database folder (the window itself stays silent).
std::string NoServerText();

// The exit status of a direct start (an entry named on the command line) that
// found no server of the suite.
inline constexpr int kExitNoServer = 2;
// The message box of that start: its user clicked an icon and sees no window.
std::string NotRunningText();
// The error of a run or save when the server stopped answering.
std::string ServerGoneText();

}  // namespace wb
