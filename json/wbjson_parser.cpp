// The lenient recursive-descent reader of JSON text. Each step reads from a
// position and on success moves it past what it consumed; a failing step leaves
// the caller's position alone and frees what it made. Separators are optional
// and one trailing separator is accepted; strings are UTF-8 or the system code
// page, decided string by string. Children of the containers being read wait on
// one shared stack and move into their container in one piece when it closes,
// so every container's child list is allocated once at its final size.
#include <bit>
#include <cstring>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "json/wbjson_codepage.h"
#include "json/wbjson_errors.h"
#include "json/wbjson_number.h"
#include "json/wbjson_text.h"
#include "platform/codepage.h"

namespace wb {
namespace {

// Raised inside the reader when the nesting bound is passed; Parse turns it into nil.
class ENestingTooDeep : public Exception {
 public:
  ENestingTooDeep() : Exception("JSON nesting too deep") {}
};

[[noreturn]] void RaiseBadEscape() { throw EConvertError(ConversionErrorText("String", "Integer")); }

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Bytes that end the quick scan of a string: the quote, the backslash and every
// byte above 0x7F (which makes the string need decoding).
struct StringStopTable {
  bool Stops[256] = {};
  constexpr StringStopTable() {
    Stops[static_cast<unsigned char>('"')] = true;
    Stops[static_cast<unsigned char>('\\')] = true;
    for (int byte = 0x80; byte < 256; ++byte) Stops[byte] = true;
  }
};
constexpr StringStopTable kStringStops;

// The first byte at or after p that ends the quick scan, or end.
const unsigned char* SkipOrdinaryBytes(const unsigned char* p, const unsigned char* end) {
#if defined(__SSE2__)
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i backslash = _mm_set1_epi8('\\');
  while (end - p >= 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // The block itself contributes its high bits: the bytes above 0x7F.
    const __m128i marks = _mm_or_si128(_mm_cmpeq_epi8(block, quote), _mm_cmpeq_epi8(block, backslash));
    const __m128i stops = _mm_or_si128(marks, block);
    const int mask = _mm_movemask_epi8(stops);
    if (mask != 0) return p + std::countr_zero(static_cast<unsigned>(mask));
    p += 16;
  }
#endif
  while (p != end && !kStringStops.Stops[*p]) ++p;
  return p;
}

// ASCII bytes to UTF-16 units.
void WidenAscii(std::string_view bytes, TWideText& out) {
  out.resize(bytes.size());
  const auto* source = reinterpret_cast<const unsigned char*>(bytes.data());
  char16_t* target = out.data();
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; bytes.size() - i >= 16; i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target + i), _mm_unpacklo_epi8(block, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(target + i + 8), _mm_unpackhi_epi8(block, zero));
  }
#endif
  for (; i < bytes.size(); ++i) target[i] = source[i];
}

// Resolves the escapes of raw string bytes into out (appended).
void UnescapeInto(std::string_view raw, std::string& out) {
  std::size_t i = 0;
  while (i < raw.size()) {
    const std::size_t backslash = raw.find('\\', i);
    if (backslash == std::string_view::npos) {
      out.append(raw.data() + i, raw.size() - i);
      return;
    }
    out.append(raw.data() + i, backslash - i);
    i = backslash + 1;
    if (i == raw.size()) return;  // a lone backslash at the end is dropped
    const char escaped = raw[i++];
    switch (escaped) {
      case '"':
      case '\'':
      case '/':
      case '\\': out += escaped; break;
      case 'b': out += '\b'; break;
      case 'f': out += '\f'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'u': {
        if (raw.size() - i < 4) RaiseBadEscape();
        uint32_t codePoint = 0;
        for (std::size_t k = 0; k < 4; ++k) {
          const int digit = HexValue(static_cast<unsigned char>(raw[i + k]));
          if (digit < 0) RaiseBadEscape();
          codePoint = codePoint * 16 + static_cast<uint32_t>(digit);
        }
        i += 4;
        json_text::AppendCodePointUTF8(codePoint, out);
        break;
      }
      default: break;  // an unknown escape contributes nothing
    }
  }
}

// The lenient UTF-8 reading: a byte from 0xC0 up leads a sequence of one more
// byte, or of two when bit 5 is set too; the character keeps 16 bits. False as
// soon as a continuation byte is missing or malformed, and for a byte from 0x80
// to 0xBF standing alone: it can only continue a sequence, so the text is
// Windows-1252 ("\x96\x96" is two dashes, not one character made of both).
bool TryDecodeLenientUTF8(std::string_view bytes, TWideText& out) {
  out.resize(bytes.size());
  char16_t* target = out.data();
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = p + bytes.size();
  while (p != end) {
    const unsigned char lead = *p++;
    if (lead < 0x80) {
      *target++ = lead;
      continue;
    }
    if (lead < 0xC0) return false;
    const int continuations = (lead & 0x20) != 0 ? 2 : 1;
    if (end - p < continuations) return false;
    uint32_t character = lead & 0x3F;
    for (int k = 0; k < continuations; ++k) {
      const unsigned char next = *p++;
      if ((next & 0xC0) != 0x80) return false;
      character = (character << 6) | (next & 0x3F);
    }
    *target++ = static_cast<char16_t>(character & 0xFFFF);
  }
  out.resize(static_cast<std::size_t>(target - out.data()));
  return true;
}

void DecodeInto(std::string_view bytes, TWideText& out) {
  if (TryDecodeLenientUTF8(bytes, out)) return;
  const json_text::TCodePageTables& codePage = json_text::SystemCodePage();
  if (codePage.Usable()) {
    out.resize(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) out[i] = codePage.CharOf(static_cast<unsigned char>(bytes[i]));
    return;
  }
  const std::u16string ansi = platform::AnsiToWide(bytes);
  out.assign(ansi.data(), ansi.size());
}

}  // namespace

class TWBJSONReader {
 public:
  using Pos = const unsigned char*;

  explicit TWBJSONReader(Pos end) : end_(end) {}

  std::unique_ptr<TWBCustomJSON> ParseValue(Pos& position) {
    Pos p = SkipWhitespace(position);
    if (p == end_) return nullptr;
    std::unique_ptr<TWBCustomJSON> value;
    switch (*p) {
      case 't':
        if (!Literal(p, "true", 4)) return nullptr;
        value = std::make_unique<TWBJSONboolean>(true);
        break;
      case 'f':
        if (!Literal(p, "false", 5)) return nullptr;
        value = std::make_unique<TWBJSONboolean>(false);
        break;
      case 'n':
        if (!Literal(p, "null", 4)) return nullptr;
        value = std::make_unique<TWBJSONnull>();
        break;
      case '"': {
        auto text = std::make_unique<TWBJSONstring>();
        if (!ParseString(p, text->value_)) return nullptr;
        value = std::move(text);
        break;
      }
      case '[': value = ParseArray(p); break;
      case '{': value = ParseObject(p); break;
      default: value = ParseNumber(p); break;
    }
    if (value) position = p;
    return value;
  }

 private:
  Pos SkipWhitespace(Pos p) const {
    while (p != end_ && *p <= 0x20) ++p;
    return p;
  }

  // The literal's bytes exactly; the byte after it is not looked at ("trueish").
  bool Literal(Pos& p, const char* literal, std::size_t length) const {
    if (static_cast<std::size_t>(end_ - p) < length || std::memcmp(p, literal, length) != 0) return false;
    p += length;
    return true;
  }

  std::unique_ptr<TWBCustomJSON> ParseNumber(Pos& position) {
    long double value = 0;
    bool inRange = false;
    const char* const start = reinterpret_cast<const char*>(position);
    const char* const stop = ScanJSONNumber(start, reinterpret_cast<const char*>(end_), value, inRange);
    if (stop == nullptr) return nullptr;
    if (!inRange) throw EConvertError(ConversionErrorText("String", "Extended"));
    position += stop - start;
    return std::make_unique<TWBJSONnumber>(value);
  }

  // The closing quote is the first one not escaped by a backslash; the escaped
  // byte is skipped whatever it is.
  bool ParseString(Pos& position, TWideText& out) {
    const Pos start = position + 1;
    Pos p = start;
    bool plain = true;
    bool escaped = false;
    for (;;) {
      p = SkipOrdinaryBytes(p, end_);
      if (p == end_) return false;
      if (*p == '"') break;
      plain = false;
      if (*p == '\\') {
        escaped = true;
        if (end_ - p < 2) return false;
        p += 2;
      } else {
        ++p;
      }
    }
    const std::string_view raw(reinterpret_cast<const char*>(start), static_cast<std::size_t>(p - start));
    position = p + 1;
    if (plain) {
      WidenAscii(raw, out);
      return true;
    }
    if (!escaped) {
      DecodeInto(raw, out);
      return true;
    }
    unescaped_.clear();
    UnescapeInto(raw, unescaped_);
    DecodeInto(unescaped_, out);
    return true;
  }

  void EnterContainer() {
    if (++depth_ > kMaxJSONNesting) throw ENestingTooDeep();
  }

  // Moves the children waiting above mark into the container, in order.
  void AdoptPending(TWBJSONcustomlist& container, std::size_t mark) {
    container.children_.reserve(pending_.size() - mark);
    for (std::size_t i = mark; i < pending_.size(); ++i) container.children_.push_back(std::move(pending_[i]));
    pending_.resize(mark);
  }

  std::unique_ptr<TWBCustomJSON> ParseArray(Pos& position) {
    EnterContainer();
    const std::size_t mark = pending_.size();
    Pos p = position + 1;
    while (std::unique_ptr<TWBCustomJSON> element = ParseValue(p)) {
      pending_.push_back(std::move(element));
      p = SkipWhitespace(p);
      if (p != end_ && *p == ',') ++p;
    }
    p = SkipWhitespace(p);
    --depth_;
    if (p == end_ || *p != ']') {
      pending_.resize(mark);
      return nullptr;
    }
    auto list = std::make_unique<TWBSONList>();
    AdoptPending(*list, mark);
    position = p + 1;
    return list;
  }

  std::unique_ptr<TWBCustomJSON> ParseObject(Pos& position) {
    EnterContainer();
    const std::size_t mark = pending_.size();
    Pos p = position + 1;
    while (std::unique_ptr<TWBJSONmember> member = ParseMember(p)) {
      pending_.push_back(std::move(member));
      p = SkipWhitespace(p);
      if (p != end_ && *p == ',') ++p;
    }
    p = SkipWhitespace(p);
    --depth_;
    if (p == end_ || *p != '}') {
      pending_.resize(mark);
      return nullptr;
    }
    // Indexed; the index itself is built at the first lookup by name.
    auto object = std::make_unique<TWBJSON>(true);
    AdoptPending(*object, mark);
    position = p + 1;
    return object;
  }

  // A quoted name, ":", and a value; unquoted names fail the member.
  std::unique_ptr<TWBJSONmember> ParseMember(Pos& position) {
    Pos p = SkipWhitespace(position);
    if (p == end_ || *p != '"') return nullptr;
    auto member = std::make_unique<TWBJSONmember>();
    if (!ParseString(p, member->name_)) return nullptr;
    p = SkipWhitespace(p);
    if (p == end_ || *p != ':') return nullptr;
    ++p;
    member->value_ = ParseValue(p);
    if (!member->value_) return nullptr;
    position = p;
    return member;
  }

  const Pos end_;
  int depth_ = 0;
  TWBChildList pending_;
  std::string unescaped_;
};

std::unique_ptr<TWBCustomJSON> TWBJSONText::Parse(std::string_view text) {
  if (text.empty()) return nullptr;
  auto p = reinterpret_cast<const unsigned char*>(text.data());
  const auto end = p + text.size();
  if (text.size() >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) {
    p += 3;
    if (p == end) return nullptr;
  }
  // A large text is read into an arena of its own, so that its tree lies in
  // memory in reading order; the arena is freed with the tree.
  std::optional<json_pool::ArenaScope> arena;
  if (text.size() >= json_pool::kArenaTextThreshold) arena.emplace();
  TWBJSONReader reader(end);
  try {
    return reader.ParseValue(p);
  } catch (const EConvertError&) {
    return nullptr;  // a bad \u escape or a number beyond the range
  } catch (const ENestingTooDeep&) {
    return nullptr;
  }
}

namespace json_text {

void AppendCodePointUTF8(uint32_t codePoint, std::string& out) {
  if (codePoint == 0x20AC) {
    out += '\x80';  // the euro sign's byte in Windows-1252
  } else if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 + (codePoint >> 6));
    out += static_cast<char>(0x80 + (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 + (codePoint >> 12));
    out += static_cast<char>(0x80 + ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 + (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 + ((codePoint >> 18) & 0x07));
    out += static_cast<char>(0x80 + ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 + ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 + (codePoint & 0x3F));
  }
}

std::string CodePointToUTF8(uint32_t codePoint) {
  std::string bytes;
  AppendCodePointUTF8(codePoint, bytes);
  return bytes;
}

std::string UnescapeJSONText(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  UnescapeInto(raw, out);
  return out;
}

std::u16string DecodeUTF8OrAnsi(std::string_view bytes) {
  TWideText decoded;
  DecodeInto(bytes, decoded);
  return std::u16string(decoded.data(), decoded.size());
}

}  // namespace json_text
}  // namespace wb
