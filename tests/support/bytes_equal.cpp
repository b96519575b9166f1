// The difference report of BytesEqual: 16 bytes before the first difference and
// 16 from it on, each side on a hex line and a text line (bytes outside
// printable ASCII as ".").
#include "support/bytes_equal.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace wb::test {
namespace {

constexpr size_t kContextBefore = 16;
constexpr size_t kContextAfter = 16;

std::string HexLine(std::string_view bytes) {
  std::string line;
  char digits[4];
  for (char c : bytes) {
    std::snprintf(digits, sizeof digits, "%02X ", static_cast<unsigned char>(c));
    line += digits;
  }
  return line;
}

std::string TextLine(std::string_view bytes) {
  std::string line;
  for (char c : bytes) line += c >= 0x20 && c < 0x7F ? c : '.';
  return line;
}

void DescribeSide(std::ostringstream& out, const char* name, std::string_view bytes, size_t from, size_t to) {
  const std::string_view window = bytes.substr(std::min(from, bytes.size()), to - from);
  out << "\n  " << name << " (" << bytes.size() << " bytes), from offset " << from << ":"
      << "\n    hex:  " << HexLine(window) << "\n    text: " << TextLine(window);
}

}  // namespace

std::string DescribeByteDifference(std::string_view actual, std::string_view expected) {
  if (actual == expected) return {};
  const size_t common = std::min(actual.size(), expected.size());
  const size_t first = static_cast<size_t>(
      std::mismatch(actual.begin(), actual.begin() + static_cast<std::ptrdiff_t>(common), expected.begin()).first -
      actual.begin());
  const size_t from = first > kContextBefore ? first - kContextBefore : 0;
  const size_t to = first + kContextAfter;
  std::ostringstream out;
  out << "first difference at offset " << first;
  if (first == common) out << " (" << (actual.size() < expected.size() ? "actual" : "expected") << " ends there)";
  DescribeSide(out, "actual", actual, from, to);
  DescribeSide(out, "expected", expected, from, to);
  out << "\n    " << std::string(6 + 3 * (first - from), ' ') << "^^";
  return out.str();
}

::testing::AssertionResult BytesEqual(const char* actualExpression, const char* expectedExpression,
                                      std::string_view actual, std::string_view expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << actualExpression << " and " << expectedExpression
                                       << " differ: " << DescribeByteDifference(actual, expected);
}

}  // namespace wb::test
