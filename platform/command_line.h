// Command lines in the Windows form: each argument quoted so that the started
// program's run-time (CommandLineToArgvW and the C run-time's splitting) gives
// it back exactly as one argument. Used for CreateProcessA and for the
// arguments of a .lnk shortcut; pure text, so it is tested on every platform.
#pragma once

#include <string>

namespace wb::platform {

enum class Quoting {
  AsNeeded,  // bare when the argument holds no blank, tab or double quote and is not empty
  Always,    // always within double quotes, as the suite writes a shortcut's argument
};

std::string QuoteCommandLineArgument(const std::string& argument, Quoting quoting = Quoting::AsNeeded);

}  // namespace wb::platform
