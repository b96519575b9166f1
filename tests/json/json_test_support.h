// Helpers shared by the JSON tests: pinning the decimal separator through the
// platform layer, and short ways to parse and to spell UTF-16 / 8-bit text.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "json/wbjson.h"
#include "platform/codepage.h"
#include "platform/locale.h"

namespace wb::test {

// Sets the user's decimal separator for one test and restores the user's own.
class DecimalSeparatorScope {
 public:
  explicit DecimalSeparatorScope(char separator) { platform::SetDecimalSeparatorOverride(separator); }
  ~DecimalSeparatorScope() { platform::SetDecimalSeparatorOverride('\0'); }
  DecimalSeparatorScope(const DecimalSeparatorScope&) = delete;
  DecimalSeparatorScope& operator=(const DecimalSeparatorScope&) = delete;
};

inline std::unique_ptr<TWBCustomJSON> ParseText(std::string_view text) { return TWBJSONText::Parse(text); }

inline std::unique_ptr<TWBJSON> ParseObject(std::string_view text) {
  return JSONCast<TWBJSON>(TWBJSONText::Parse(text));
}

// UTF-8 source literal to UTF-16 / to 8-bit system code page text.
inline std::u16string W(std::string_view utf8) { return platform::Utf8ToWide(utf8); }
inline std::string A(std::string_view utf8) { return platform::Utf8ToAnsi(utf8); }

}  // namespace wb::test
