// The C run-time's rules, backwards: blanks and tabs separate arguments unless
// inside double quotes; 2n backslashes before a quote stand for n backslashes,
// 2n+1 for n and a literal quote; backslashes elsewhere stand for themselves.
#include "platform/command_line.h"

namespace wb::platform {

std::string QuoteCommandLineArgument(const std::string& argument, Quoting quoting) {
  if (quoting == Quoting::AsNeeded && !argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos)
    return argument;
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      quoted.append(backslashes * 2 + 1, '\\');
    } else {
      quoted.append(backslashes, '\\');
    }
    backslashes = 0;
    quoted += c;
  }
  // Before the closing quote every backslash is doubled.
  quoted.append(backslashes * 2, '\\');
  quoted += '"';
  return quoted;
}

}  // namespace wb::platform
