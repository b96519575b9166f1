// Windows-1252 <-> UTF-16 with best fit, and UTF-8 <-> UTF-16. Used on every
// platform: POSIX takes Windows-1252 as its system code page, and the Windows
// side needs the same tables to write byte-identical files in tests.
#include <array>

#include "platform/codepage.h"

namespace wb::platform {
namespace {

// 0x80..0x9F of Windows-1252; the five undefined bytes keep their C1 code point.
constexpr std::array<char16_t, 32> kHighControls = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Best fit for Latin Extended-A (U+0100..U+017F): the base letter, '?' where
// there is none. Characters that the code page has are found before this table.
constexpr char kLatinExtendedABase[] =
    "AaAaAaCcCcCcCcDd"
    "DdEeEeEeEeEeGgGg"
    "GgGgHhHhIiIiIiIi"
    "Ii??JjKk?LlLlLlL"
    "lLlNnNnNn???OoOo"
    "Oo??RrRrRrSsSsSs"
    "??TtTtTtUuUuUuUu"
    "UuUuWwYy?ZzZz???";
static_assert(sizeof(kLatinExtendedABase) == 129);

int ByteForChar(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
  for (std::size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == c) return 0x80 + static_cast<int>(i);
  return -1;
}

char BestFit(char16_t c) {
  int byte = ByteForChar(c);
  if (byte >= 0) return static_cast<char>(byte);
  if (c >= 0x100 && c <= 0x17F) return kLatinExtendedABase[c - 0x100];
  return '?';
}

}  // namespace

char16_t Cp1252ToChar(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

std::u16string Cp1252ToWide(std::string_view text) {
  std::u16string result(text.size(), u'\0');
  for (size_t i = 0; i < text.size(); ++i) result[i] = Cp1252ToChar(static_cast<unsigned char>(text[i]));
  return result;
}

std::string WideToCp1252(std::u16string_view text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      ++i;  // one character outside the basic plane: one '?'
      result.push_back('?');
      continue;
    }
    result.push_back(BestFit(c));
  }
  return result;
}

bool TryUtf8ToWide(std::string_view text, std::u16string& out) {
  out.clear();
  out.reserve(text.size());
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    unsigned char b = *p;
    if (b < 0x80) {
      out.push_back(b);
      ++p;
      continue;
    }
    int length;
    char32_t cp;
    if ((b & 0xE0) == 0xC0) length = 2, cp = b & 0x1F;
    else if ((b & 0xF0) == 0xE0) length = 3, cp = b & 0x0F;
    else if ((b & 0xF8) == 0xF0) length = 4, cp = b & 0x07;
    else return false;
    if (end - p < length) return false;
    for (int k = 1; k < length; ++k) {
      if ((p[k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[k] & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    p += length;
  }
  return true;
}

std::u16string Utf8ToWide(std::string_view text) {
  std::u16string result;
  if (TryUtf8ToWide(text, result)) return result;
  // Malformed input: decode byte by byte, replacing what cannot be read.
  result.clear();
  size_t i = 0;
  while (i < text.size()) {
    size_t length = 1;
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b >= 0xC0) length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
    std::u16string piece;
    if (i + length <= text.size() && TryUtf8ToWide(text.substr(i, length), piece)) {
      result += piece;
      i += length;
    } else {
      result.push_back(b < 0x80 ? b : 0xFFFD);
      ++i;
    }
  }
  return result;
}

std::string WideToUtf8(std::u16string_view text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;  // a lone surrogate has no UTF-8 form
    }
    if (cp < 0x80) {
      result.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      result.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      result.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      result.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      result.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      result.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      result.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      result.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      result.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      result.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return result;
}

std::string AnsiToUtf8(std::string_view text) {
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return std::string(text);
  return WideToUtf8(AnsiToWide(text));
}

std::string Utf8ToAnsi(std::string_view text) {
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return std::string(text);
  return WideToAnsi(Utf8ToWide(text));
}

}  // namespace wb::platform
