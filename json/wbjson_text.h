// Reading and writing JSON text. The parser is lenient (it reads what the
// suite's programs write: 8-bit text in the system code page or UTF-8, with or
// without byte-order mark, optional separators) and never reports where or why
// it failed: unreadable text gives nil. The writer produces 8-bit text in the
// system code page, compact (Generate) or indented with CR LF (GenerateIndented).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "json/wbjson_values.h"

namespace wb {

class TStream;

// Nesting deeper than this is not read (the text parses as nil): a damaged file
// or a broken reply must not exhaust the stack. Real documents nest a handful deep.
inline constexpr int kMaxJSONNesting = 512;

class TWBJSONText {
 public:
  // The root value of the text, or nil. Text after the first complete value is ignored.
  static std::unique_ptr<TWBCustomJSON> Parse(std::string_view text);
  // Compact text without whitespace; nil gives empty text.
  static std::string Generate(const TWBCustomJSON* value);
};

class TWBJSONStreamer : public TWBJSONText {
 public:
  // Parse of everything from the stream's position to its end; nil for no stream.
  static std::unique_ptr<TWBCustomJSON> LoadFromStream(TStream* stream);
  // Nil for a missing file or unreadable text. A file that exists but cannot be
  // opened after the usual retries raises the open error.
  static std::unique_ptr<TWBCustomJSON> LoadFromFile(const std::string& fileName);
};

// Readable text: one member or element per line, two spaces per level, lines
// joined by CR LF, no line break after the last bracket. Nil gives empty text.
std::string GenerateIndented(const TWBCustomJSON* value);

// The string layer of the parser, exposed for its tests.
namespace json_text {
// Code point to UTF-8 bytes, except the euro sign, which gives its Windows-1252 byte 0x80.
std::string CodePointToUTF8(uint32_t codePoint);
void AppendCodePointUTF8(uint32_t codePoint, std::string& out);
// The raw bytes between the quotes with their escapes resolved; EConvertError for a bad \u.
std::string UnescapeJSONText(std::string_view raw);
// UTF-8 (lenient: 2- and 3-byte forms, 16-bit result) or, when that fails anywhere,
// the system code page byte by byte.
std::u16string DecodeUTF8OrAnsi(std::string_view bytes);
}  // namespace json_text

}  // namespace wb
