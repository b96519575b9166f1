// Message formatting shared by the exception texts.
#include "platform/errors.h"

namespace wb {

std::string FormatMessageText(const std::string& pattern, const std::string& value) {
  std::string result = pattern;
  auto at = result.find("%s");
  if (at != std::string::npos) result.replace(at, 2, value);
  return result;
}

}  // namespace wb
