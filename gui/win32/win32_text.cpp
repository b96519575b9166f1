// Conversions through the core's code-page functions, so the front end and the
// core agree on every character.
#include "gui/win32/win32_text.h"

#include "platform/codepage.h"

namespace wb::win32 {

std::wstring Wide(std::string_view ansi) {
  const std::u16string wide = platform::AnsiToWide(ansi);
  return std::wstring(wide.begin(), wide.end());
}

std::string Narrow(std::wstring_view wide) { return platform::WideToAnsi(std::u16string(wide.begin(), wide.end())); }

std::wstring WideUtf8(std::u8string_view utf8) { return Wide(Ansi(utf8)); }

}  // namespace wb::win32
