// The text layer: 8-bit text in the system ANSI code page, UTF-16 and UTF-8.
// Conversions happen at the edges only (JSON tree, message values, file system, Qt).
#pragma once

#include <string>
#include <string_view>

namespace wb::platform {

// Windows-1252 with best fit: letters outside the code page become their base
// letter (U+0100 'Ā' -> 'A'), every other character becomes '?'.
std::u16string Cp1252ToWide(std::string_view text);
std::string WideToCp1252(std::u16string_view text);
// The character for one byte; 0x81, 0x8D, 0x8F, 0x90, 0x9D map to the same code point.
char16_t Cp1252ToChar(unsigned char byte);

// The system ANSI code page: Windows-1252 on POSIX, GetACP() on Windows.
std::u16string AnsiToWide(std::string_view text);
std::string WideToAnsi(std::u16string_view text);

// UTF-8. TryUtf8ToWide fails (returns false) on any malformed sequence, overlong
// form, surrogate or code point above U+10FFFF; Utf8ToWide replaces them by U+FFFD.
bool TryUtf8ToWide(std::string_view text, std::u16string& out);
std::u16string Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::u16string_view text);

// Between the system code page and UTF-8 (file names on POSIX, strings for Qt).
std::string AnsiToUtf8(std::string_view text);
std::string Utf8ToAnsi(std::string_view text);

}  // namespace wb::platform

namespace wb::platform {
// The bytes of a UTF-8 literal, for the conversions above.
inline std::string_view Utf8Bytes(std::u8string_view text) {
  return {reinterpret_cast<const char*>(text.data()), text.size()};
}
}  // namespace wb::platform

namespace wb {
// German texts are written as u8"…" literals in the sources, so that the
// compiler tells them from the core's 8-bit text (the system code page).
// Ansi(u8"geöffnet") gives the 8-bit form; a plain literal does not convert.
inline std::string Ansi(std::u8string_view text) { return platform::Utf8ToAnsi(platform::Utf8Bytes(text)); }
}  // namespace wb
