// The wildcard matcher and the listing's mask rule, for both backends.
#include "platform/wildcard.h"

#include <cstdint>

#include "platform/find_files.h"

namespace wb::platform {

bool WildcardMatch(std::string_view text, std::string_view pattern, QuestionAfterStar rule) {
  const auto& lower = LowerCaseTable();
  auto same = [&lower](char a, char b) { return lower[static_cast<uint8_t>(a)] == lower[static_cast<uint8_t>(b)]; };
  const bool merge = rule == QuestionAfterStar::MergesIntoStar;
  size_t t = 0, p = 0;
  size_t starPattern = std::string_view::npos, starText = 0;
  for (;;) {
    if (p < pattern.size() && pattern[p] == '*') {
      while (p < pattern.size() && (pattern[p] == '*' || (merge && pattern[p] == '?'))) ++p;
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

bool MatchesFileMask(std::string_view name, std::string_view mask) {
  constexpr auto kListing = QuestionAfterStar::OneCharacter;
  if (mask == "*" || mask == "*.*") return true;
  if (WildcardMatch(name, mask, kListing)) return true;
  // "name.*" also matches a name without extension, as the Windows listing does.
  if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" &&
      WildcardMatch(name, mask.substr(0, mask.size() - 2), kListing))
    return true;
  // A trailing "." asks for names without extension ("*." or "abc.").
  if (mask.size() >= 2 && mask.back() == '.' && name.find('.') == std::string_view::npos)
    return WildcardMatch(name, mask.substr(0, mask.size() - 1), kListing);
  return false;
}

}  // namespace wb::platform
