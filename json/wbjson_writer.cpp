// The writer: compact and indented JSON text in the system code page. Output
// goes straight into one growing byte buffer; strings are escaped by a byte
// table, and only strings with characters above 0x7F pass through the code-page
// conversion.
#include <cstring>
#include <typeinfo>

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
  std::string Finish() {
    text_.resize(static_cast<std::size_t>(cursor_ - text_.data()));
    return std::move(text_);
  }

 private:
  static constexpr std::size_t kInitialSize = 256;

  void Grow(std::size_t count) {
    const std::size_t used = cursor_ == nullptr ? 0 : static_cast<std::size_t>(cursor_ - text_.data());
    std::size_t size = text_.size() < kInitialSize ? kInitialSize : text_.size() * 2;
    while (size - used < count) size *= 2;
    text_.resize(size);
    cursor_ = text_.data() + used;
    end_ = text_.data() + text_.size();
  }

  std::string text_;
  char* cursor_ = nullptr;
  char* end_ = nullptr;
};

char* WriteEscapedByte(unsigned char byte, char* out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const char kind = kEscapes.Kind[byte];
  if (kind == 0) {
    *out++ = static_cast<char>(byte);
  } else if (kind == 'u') {
    std::memcpy(out, "\\u00", 4);
    out[4] = kHex[byte >> 4];
    out[5] = kHex[byte & 0x0F];
    out += 6;
  } else if (kind == 'e') {
    std::memcpy(out, "\\u20ac", 6);
    out += 6;
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

// ASCII text is written from the UTF-16 units directly; anything else through
// the code page as a whole, so that best fit sees every character.
void WriteQuotedText(std::u16string_view text, OutputBuffer& out) {
  char* const start = out.Room(text.size() * kMaxEscapedByte + 2);
  char* p = start;
  *p++ = '"';
  for (const char16_t unit : text) {
    if (unit >= 0x80) {
      WriteQuotedBytes(platform::WideToAnsi(text), out);
      return;
    }
    p = WriteEscapedByte(static_cast<unsigned char>(unit), p);
  }
  *p++ = '"';
  out.Advance(p);
}

const TWBJSONmember* AsMemberPair(const TWBCustomJSON* value) {
  return typeid(*value) == typeid(TWBJSONmember) ? static_cast<const TWBJSONmember*>(value) : nullptr;
}

void WriteCompact(const TWBCustomJSON* value, OutputBuffer& out);

void WriteChildren(const TWBJSONcustomlist& container, char open, char close, OutputBuffer& out) {
  out.Put(open);
  bool first = true;
  for (const auto& child : container.Children()) {
    if (!first) out.Put(',');
    first = false;
    WriteCompact(child.get(), out);
  }
  out.Put(close);
}

void WriteCompact(const TWBCustomJSON* value, OutputBuffer& out) {
  if (value == nullptr) return;
  switch (value->Kind()) {
    case js_Number: {
      char* p = out.Room(kMaxFloatTextLength);
      out.Advance(FormatGeneralFloat(static_cast<const TWBJSONnumber*>(value)->Value(), '.', p));
      return;
    }
    case js_String: WriteQuotedText(static_cast<const TWBJSONstring*>(value)->Value(), out); return;
    case js_Boolean: out.Append(static_cast<const TWBJSONboolean*>(value)->Value() ? "true" : "false"); return;
    case js_Null: out.Append("null"); return;
    case js_List: WriteChildren(*static_cast<const TWBJSONcustomlist*>(value), '[', ']', out); return;
    case js_Object: WriteChildren(*static_cast<const TWBJSONcustomlist*>(value), '{', '}', out); return;
    case js_Base:
      if (const TWBJSONmember* member = AsMemberPair(value)) {
        WriteQuotedText(member->Name(), out);
        out.Put(':');
        WriteCompact(member->Value(), out);
      }
      return;
  }
}

constexpr std::string_view kLineBreak = "\r\n";

void WriteIndented(const TWBCustomJSON* value, int level, OutputBuffer& out);

// Children one per line at the inner level, the closing bracket at the outer one.
void WriteIndentedChildren(const TWBJSONcustomlist& container, char open, char close, int level,
                           OutputBuffer& out) {
  if (container.ChildCount() == 0) {
    out.Put(open);
    out.Put(close);
    return;
  }
  const int inner = level + 1;
  out.Put(open);
  bool first = true;
  for (const auto& child : container.Children()) {
    out.Append(first ? kLineBreak : ",\r\n");
    first = false;
    out.Spaces(static_cast<std::size_t>(2 * inner));
    WriteIndented(child.get(), inner, out);
  }
  out.Append(kLineBreak);
  out.Spaces(static_cast<std::size_t>(2 * level));
  out.Put(close);
}

// level: the nesting of the line the value starts on. A member's value starts
// on the member's own line, so it is written at the member's level.
void WriteIndented(const TWBCustomJSON* value, int level, OutputBuffer& out) {
  if (value == nullptr) return;
  switch (value->Kind()) {
    case js_List: WriteIndentedChildren(*static_cast<const TWBJSONcustomlist*>(value), '[', ']', level, out); return;
    case js_Object: WriteIndentedChildren(*static_cast<const TWBJSONcustomlist*>(value), '{', '}', level, out); return;
    case js_Base:
      if (const TWBJSONmember* member = AsMemberPair(value)) {
        WriteQuotedText(member->Name(), out);
        out.Put(':');
        WriteIndented(member->Value(), level, out);
      }
      return;
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
