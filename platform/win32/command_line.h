// Command lines for CreateProcessA: each argument quoted so that the started
// program's run-time (CommandLineToArgvW and the C run-time's splitting) gives
// it back exactly as one argument.
#pragma once

#include <string>

namespace wb::platform {

std::string QuoteCommandLineArgument(const std::string& argument);

}  // namespace wb::platform
