// Attribute lookup in markup tags; no allocations, the values point into the tag.
#include "htmldraw/html_tag_attributes.h"

namespace wb {
namespace {

// Large enough for any position or size on a screen, small enough that sums stay in int.
constexpr int kNumberLimit = 1000000;

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

std::size_t FindIgnoringCase(std::string_view text, std::string_view word) {
  if (word.empty()) return 0;
  if (word.size() > text.size()) return std::string_view::npos;
  const char first = AsciiUpper(word[0]);
  for (std::size_t i = 0; i + word.size() <= text.size(); ++i) {
    if (AsciiUpper(text[i]) == first && SameLetters(text.substr(i, word.size()), word)) return i;
  }
  return std::string_view::npos;
}

}  // namespace

bool TagNameStartsWith(std::string_view tagName, std::string_view prefix) {
  return StartsWithIgnoringCase(tagName, prefix);
}

bool TagEquals(std::string_view tag, std::string_view text) { return SameLetters(tag, text); }

bool ContainsIgnoringCase(std::string_view text, std::string_view word) {
  return FindIgnoringCase(text, word) != std::string_view::npos;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view word) {
  return text.size() >= word.size() && SameLetters(text.substr(0, word.size()), word);
}

std::optional<std::string_view> TagAttribute(std::string_view tag, std::string_view name) {
  const std::size_t at = FindIgnoringCase(tag, name);
  if (at == std::string_view::npos) return std::nullopt;
  const std::string_view rest = tag.substr(at + name.size());
  const std::size_t open = rest.find('"');
  if (open == std::string_view::npos) return std::string_view{};
  const std::size_t close = rest.find('"', open + 1);
  if (close == std::string_view::npos) return std::string_view{};
  return rest.substr(open + 1, close - open - 1);
}

std::string_view FirstQuotedValue(std::string_view tag) {
  const std::size_t open = tag.find('"');
  if (open == std::string_view::npos) return {};
  const std::size_t close = tag.find('"', open + 1);
  if (close == std::string_view::npos) return {};
  return tag.substr(open + 1, close - open - 1);
}

std::optional<int> TagSizeAttribute(std::string_view tag, std::string_view name) {
  const std::size_t at = FindIgnoringCase(tag, name);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view rest = tag.substr(at + name.size());
  const std::size_t equals = rest.find('=');
  if (equals == std::string_view::npos) return 0;
  rest.remove_prefix(equals + 1);
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  if (!rest.empty() && rest.front() == '"') rest.remove_prefix(1);
  return LeadingNumber(rest, false);
}

int LeadingNumber(std::string_view text, bool allowSign) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (allowSign && i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  int value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kNumberLimit) value = kNumberLimit;
  }
  return negative ? -value : value;
}

}  // namespace wb
