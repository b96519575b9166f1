// The system ANSI code page on Windows: MultiByteToWideChar / WideCharToMultiByte
// with CP_ACP. The conversion to 8-bit text keeps the system's best fit (a
// character outside the code page becomes its nearest letter, else '?').
#include "platform/codepage.h"

#include <algorithm>

#include "platform/win32/win32_util.h"

namespace wb::platform {
namespace {

// The system calls take int lengths; longer texts go in pieces that never split
// a character (every byte is one character in the single-byte code pages, and
// a piece of UTF-16 never ends between the halves of a surrogate pair).
constexpr size_t kPiece = 1 << 28;

void AppendWide(std::string_view text, std::u16string& out) {
  if (text.empty()) return;
  const int length = static_cast<int>(text.size());
  const int needed = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return;
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(needed));
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, reinterpret_cast<wchar_t*>(out.data() + at), needed);
}

void AppendAnsi(std::u16string_view text, std::string& out) {
  if (text.empty()) return;
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  const int needed = ::WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return;
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(needed));
  ::WideCharToMultiByte(CP_ACP, 0, wide, length, out.data() + at, needed, nullptr, nullptr);
}

}  // namespace

std::u16string AnsiToWide(std::string_view text) {
  std::u16string result;
  result.reserve(text.size());
  // A double-byte code page could split a character at a piece's end; texts of
  // that size do not occur with those.
  for (size_t at = 0; at < text.size(); at += kPiece) AppendWide(text.substr(at, kPiece), result);
  return result;
}

std::string WideToAnsi(std::u16string_view text) {
  std::string result;
  result.reserve(text.size());
  size_t at = 0;
  while (at < text.size()) {
    size_t count = std::min(kPiece, text.size() - at);
    char16_t last = text[at + count - 1];
    if (at + count < text.size() && last >= 0xD800 && last <= 0xDBFF) --count;
    AppendAnsi(text.substr(at, count), result);
    at += count;
  }
  return result;
}

}  // namespace wb::platform
