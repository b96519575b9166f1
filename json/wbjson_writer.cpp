// The writer: compact and indented JSON text in the system code page. Output
// goes straight into one growing byte buffer; strings are escaped by a byte
// table (runs of plain ASCII eight units at a time), and only strings with a
// character that has no byte of its own pass through the platform's conversion.
#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "json/wbjson_codepage.h"
#include "json/wbjson_number.h"
#include "json/wbjson_text.h"
#include "platform/codepage.h"

namespace wb {
namespace {

// How each byte of a string is written: 0 as itself, a letter as backslash and
// that letter, 'u' as \u and four upper-case hex digits, 'e' as the euro escape.
struct EscapeTable {
  char Kind[256] = {};
  constexpr EscapeTable() {
    for (int byte = 0; byte < 0x20; ++byte) Kind[byte] = 'u';
    Kind[0x08] = 'b';
    Kind[0x09] = 't';
    Kind[0x0A] = 'n';
    Kind[0x0C] = 'f';
    Kind[0x0D] = 'r';
    Kind[0x22] = '"';
    Kind[0x2F] = '/';
    Kind[0x5C] = '\\';
    Kind[0x80] = 'e';
  }
};
constexpr EscapeTable kEscapes;

// The longest form of one byte: \u001F or \u20ac.
constexpr std::size_t kMaxEscapedByte = 6;

// A byte buffer that doubles when full. It is not initialised (every byte is
// written before it is read) and becomes the result text in one copy.
class OutputBuffer {
 public:
  OutputBuffer() { Grow(kInitialSize); }

  // Makes room for count more bytes and gives the place to write them.
  char* Room(std::size_t count) {
    if (static_cast<std::size_t>(end_ - cursor_) < count) Grow(count);
    return cursor_;
  }
  void Advance(char* newCursor) { cursor_ = newCursor; }
  void Put(char c) { *Room(1) = c, ++cursor_; }
  void Append(const char* bytes, std::size_t count) {
    std::memcpy(Room(count), bytes, count);
    cursor_ += count;
  }
  void Append(std::string_view bytes) { Append(bytes.data(), bytes.size()); }
  void Spaces(std::size_t count) {
    std::memset(Room(count), ' ', count);
    cursor_ += count;
  }
  std::string Finish() const { return std::string(bytes_.get(), Used()); }

 private:
  static constexpr std::size_t kInitialSize = 4096;

  std::size_t Used() const { return static_cast<std::size_t>(cursor_ - bytes_.get()); }

  void Grow(std::size_t count) {
    const std::size_t used = bytes_ ? Used() : 0;
    std::size_t size = capacity_ == 0 ? kInitialSize : capacity_ * 2;
    while (size - used < count) size *= 2;
    auto larger = std::make_unique_for_overwrite<char[]>(size);
    if (used != 0) std::memcpy(larger.get(), bytes_.get(), used);
    bytes_ = std::move(larger);
    capacity_ = size;
    cursor_ = bytes_.get() + used;
    end_ = bytes_.get() + size;
  }

  std::unique_ptr<char[]> bytes_;
  std::size_t capacity_ = 0;
  char* cursor_ = nullptr;
  char* end_ = nullptr;
};

char* WriteEscapedByte(unsigned char byte, char* out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const char kind = kEscapes.Kind[byte];
  if (kind == 0) {
    *out++ = static_cast<char>(byte);
  } else if (kind == 'u') {
    std::copy_n("\\u00", 4, out);
    out[4] = kHex[byte >> 4];
    out[5] = kHex[byte & 0x0F];
    out += 6;
  } else if (kind == 'e') {
    out = std::copy_n("\\u20ac", 6, out);
  } else {
    out[0] = '\\';
    out[1] = kind;
    out += 2;
  }
  return out;
}

void WriteQuotedBytes(std::string_view bytes, OutputBuffer& out) {
  char* p = out.Room(bytes.size() * kMaxEscapedByte + 2);
  *p++ = '"';
  for (const char c : bytes) p = WriteEscapedByte(static_cast<unsigned char>(c), p);
  *p++ = '"';
  out.Advance(p);
}

#if defined(__SSE2__)
// Copies the leading run of units that are written as themselves (0x20 to 0x7E
// except the quote, the slash and the backslash), eight at a time, and returns
// its length. Up to eight bytes past the run may be written; the caller's room
// covers them and overwrites them.
std::size_t CopyPlainRun(const char16_t* units, std::size_t count, char* out) {
  const __m128i below = _mm_set1_epi16(0x20);
  const __m128i above = _mm_set1_epi16(0x7E);
  const __m128i quote = _mm_set1_epi16('"');
  const __m128i slash = _mm_set1_epi16('/');
  const __m128i backslash = _mm_set1_epi16('\\');
  std::size_t done = 0;
  while (count - done >= 8) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + done));
    // Signed compares: units from 0x8000 on count as below 0x20, as they should.
    __m128i special = _mm_or_si128(_mm_cmplt_epi16(block, below), _mm_cmpgt_epi16(block, above));
    special = _mm_or_si128(special, _mm_cmpeq_epi16(block, quote));
    special = _mm_or_si128(special, _mm_cmpeq_epi16(block, slash));
    special = _mm_or_si128(special, _mm_cmpeq_epi16(block, backslash));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out + done), _mm_packus_epi16(block, block));
    const int mask = _mm_movemask_epi8(special);
    if (mask != 0) return done + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask)) / 2);
    done += 8;
  }
  return done;
}
#else
std::size_t CopyPlainRun(const char16_t*, std::size_t, char*) { return 0; }
#endif

// Characters with a byte of their own are written from the UTF-16 units
// directly; a string with any other character goes through the platform's
// conversion as a whole, so that best fit sees every character.
void WriteQuotedText(std::u16string_view text, OutputBuffer& out) {
  char* p = out.Room(text.size() * kMaxEscapedByte + 2);
  *p++ = '"';
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t plain = CopyPlainRun(text.data() + i, text.size() - i, p);
    p += plain;
    i += plain;
    if (i == text.size()) break;
    const char16_t unit = text[i++];
    int byte = unit;
    if (unit >= 0x80) {
      const json_text::TCodePageTables& codePage = json_text::SystemCodePage();
      byte = codePage.Usable() ? codePage.ByteOf(unit) : -1;
      if (byte < 0) {
        WriteQuotedBytes(platform::WideToAnsi(text), out);
        return;
      }
    }
    p = WriteEscapedByte(static_cast<unsigned char>(byte), p);
  }
  *p++ = '"';
  out.Advance(p);
}

inline void Prefetch(const void* node) {
#if defined(__GNUC__)
  __builtin_prefetch(node);
#else
  (void)node;
#endif
}

void WriteCompact(const TWBCustomJSON* value, OutputBuffer& out);

void WriteChildren(const TWBJSONcustomlist& container, char open, char close, OutputBuffer& out) {
  out.Put(open);
  const TWBChildList& children = container.Children();
  for (std::size_t i = 0; i < children.size(); ++i) {
    // The next node is fetched while this one is written: the walk is bound by
    // memory latency more than by work.
    if (i + 1 < children.size()) Prefetch(children[i + 1].get());
    if (i != 0) out.Put(',');
    WriteCompact(children[i].get(), out);
  }
  out.Put(close);
}

void WriteCompact(const TWBCustomJSON* value, OutputBuffer& out) {
  if (value == nullptr) return;
  switch (value->NodeClass()) {
    case TNodeClass::Number: {
      char* p = out.Room(kMaxFloatTextLength);
      out.Advance(FormatGeneralFloat(static_cast<const TWBJSONnumber*>(value)->Value(), '.', p));
      return;
    }
    case TNodeClass::String: WriteQuotedText(static_cast<const TWBJSONstring*>(value)->Value(), out); return;
    case TNodeClass::Boolean: out.Append(static_cast<const TWBJSONboolean*>(value)->Value() ? "true" : "false"); return;
    case TNodeClass::Null: out.Append("null"); return;
    case TNodeClass::List: WriteChildren(*static_cast<const TWBJSONcustomlist*>(value), '[', ']', out); return;
    case TNodeClass::Object: WriteChildren(*static_cast<const TWBJSONcustomlist*>(value), '{', '}', out); return;
    case TNodeClass::Member: {
      const auto* member = static_cast<const TWBJSONmember*>(value);
      Prefetch(member->Value());
      WriteQuotedText(member->Name(), out);
      out.Put(':');
      WriteCompact(member->Value(), out);
      return;
    }
    case TNodeClass::Other: return;
  }
}

constexpr std::string_view kLineBreak = "\r\n";

void WriteIndented(const TWBCustomJSON* value, int level, OutputBuffer& out);

// Children one per line at the inner level, the closing bracket at the outer one.
void WriteIndentedChildren(const TWBJSONcustomlist& container, char open, char close, int level, OutputBuffer& out) {
  if (container.ChildCount() == 0) {
    out.Put(open);
    out.Put(close);
    return;
  }
  const int inner = level + 1;
  out.Put(open);
  const TWBChildList& children = container.Children();
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (i + 1 < children.size()) Prefetch(children[i + 1].get());
    out.Append(i == 0 ? kLineBreak : ",\r\n");
    out.Spaces(2 * static_cast<std::size_t>(inner));
    WriteIndented(children[i].get(), inner, out);
  }
  out.Append(kLineBreak);
  out.Spaces(2 * static_cast<std::size_t>(level));
  out.Put(close);
}

// level: the nesting of the line the value starts on. A member's value starts
// on the member's own line, so it is written at the member's level.
void WriteIndented(const TWBCustomJSON* value, int level, OutputBuffer& out) {
  if (value == nullptr) return;
  switch (value->NodeClass()) {
    case TNodeClass::List:
      WriteIndentedChildren(*static_cast<const TWBJSONcustomlist*>(value), '[', ']', level, out);
      return;
    case TNodeClass::Object:
      WriteIndentedChildren(*static_cast<const TWBJSONcustomlist*>(value), '{', '}', level, out);
      return;
    case TNodeClass::Member: {
      const auto* member = static_cast<const TWBJSONmember*>(value);
      Prefetch(member->Value());
      WriteQuotedText(member->Name(), out);
      out.Put(':');
      WriteIndented(member->Value(), level, out);
      return;
    }
    default: WriteCompact(value, out); return;
  }
}

}  // namespace

std::string TWBJSONText::Generate(const TWBCustomJSON* value) {
  if (value == nullptr) return std::string();
  OutputBuffer out;
  WriteCompact(value, out);
  return out.Finish();
}

std::string GenerateIndented(const TWBCustomJSON* value) {
  if (value == nullptr) return std::string();
  OutputBuffer out;
  WriteIndented(value, 0, out);
  return out.Finish();
}

}  // namespace wb
