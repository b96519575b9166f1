// The filters' wildcard matcher and the filter decision.
#include "client/find_wildcard.h"

#include <array>
#include <cstdint>

#include "client/find_character_classes.h"
#include "strings/string_list.h"

namespace wb {

bool WildcardMatch(std::string_view text, std::string_view pattern) {
  const auto& lower = SystemLowerCaseTable();
  auto same = [&lower](char a, char b) { return lower[static_cast<uint8_t>(a)] == lower[static_cast<uint8_t>(b)]; };
  // One backtrack point (the last "*") is enough for "*" and "?": the cost
  // stays bounded by text length times pattern length.
  size_t t = 0, p = 0;
  size_t starPattern = std::string_view::npos, starText = 0;
  for (;;) {
    if (p < pattern.size() && pattern[p] == '*') {
      while (p < pattern.size() && (pattern[p] == '*' || pattern[p] == '?')) ++p;
      if (p == pattern.size()) return true;
      starPattern = p;
      starText = t;
      continue;
    }
    if (t == text.size()) return p == pattern.size();
    if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], text[t]))) {
      ++p;
      ++t;
    } else if (starPattern != std::string_view::npos) {
      p = starPattern;
      t = ++starText;
    } else {
      return false;
    }
  }
}

bool PassesFilters(const TStringList& filters, std::string_view fullPath) {
  for (const auto& item : filters.Items()) {
    std::string_view filter = item.Text;
    if (filter.empty()) continue;
    if (filter.front() == '>') {
      if (WildcardMatch(fullPath, filter.substr(1))) return true;
      continue;
    }
    if (filter.front() == '<') filter.remove_prefix(1);
    if (WildcardMatch(fullPath, filter)) return false;
  }
  return true;
}

}  // namespace wb
