// Errors of the JSON tree beyond the foundation's: a typed read of a child of
// another class. Conversion failures are the foundation's EConvertError.
#pragma once

#include <string>

#include "platform/errors.h"

namespace wb {

class EInvalidCast : public Exception {
 public:
  using Exception::Exception;
};

// The texts of the tree's own errors (8-bit, system code page).
std::string InvalidCastText();
std::string ConversionErrorText(const char* fromKind, const char* toKind);

}  // namespace wb
