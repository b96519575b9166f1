// Markup stripping, the case-insensitive replace and PosFrom.
#include <gtest/gtest.h>

#include "strings/strutils.h"

using wb::PosFrom;
using wb::ReplaceAllText;
using wb::StripHTMLMarkup;

namespace {
std::string Stripped(std::string text) {
  StripHTMLMarkup(text);
  return text;
}
std::string Replaced(std::string text, std::string_view search, std::string_view replacement) {
  ReplaceAllText(text, search, replacement);
  return text;
}
}  // namespace

TEST(StripHTMLMarkup, FollowsItsStepsInOrder) {
  struct Case {
    std::string input, expected;
  };
  const Case cases[] = {
      {" <b>Lieferschein</b> &amp; Rechnung<br>", "Lieferschein & Rechnung"},
      {"a&quot;b", "ab"},  // &quot; is dropped, not turned into a quote
      {"<BR>x", "x"},      // replacements ignore case
      {"x &lt;y", "x y"},  // &lt; is dropped
      {"a&nbsp;b", "a b"},
      {"a\r\n\r\n\r\nb", "a\r\n\r\nb"},    // one pass: three breaks become two
      {"<i><u>x</u></i>", "<u>x"},         // the search position never goes back
      {"Preis <5 Euro", "Preis <5 Euro"},  // an unclosed "<" keeps the rest
      {"<font color=red>rot</font>", "rot"},
      {"&amp;lt;", ""},  // &amp; runs before &lt;, which then goes too
      {"\t x \x01", "x"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Stripped(c.input), c.expected) << c.input;
}

TEST(ReplaceAllText, FindsWithoutRegardToCaseLeftToRight) {
  EXPECT_EQ(Replaced("xabyAbz", "AB", "-"), "x-y-z");
  EXPECT_EQ(Replaced("aaa", "aa", "b"), "ba");    // non-overlapping
  EXPECT_EQ(Replaced("abc", "b", "bb"), "abbc");  // the replacement is not rescanned
  EXPECT_EQ(Replaced("abc", "", "x"), "abc");
  EXPECT_EQ(Replaced("ab", "abc", "x"), "ab");
  EXPECT_EQ(Replaced("", "a", "x"), "");
  EXPECT_EQ(Replaced("aXa", "x", ""), "aa");
  EXPECT_EQ(Replaced("a\xE4"
                     "b\xC4"
                     "c",
                     "\xE4", "ae"),
            "aaebaec");                                    // ä also replaces Ä
  EXPECT_EQ(Replaced("\x8A\x9A", "\x9A", "s"), "ss");      // Š / š pair
  EXPECT_EQ(Replaced("\xDF\xDF", "SS", "x"), "\xDF\xDF");  // ß has no partner
  EXPECT_EQ(Replaced("\xD7\xF7", "\xF7", "/"), "\xD7/");   // × and ÷ are no pair
  EXPECT_EQ(Replaced("zZ", "z", "0123456789"), "01234567890123456789");
}

TEST(ReplaceAllText, CaseTablesPairEveryLetterBothWays) {
  const auto& upper = wb::Cp1252UpperCaseTable();
  const auto& swap = wb::Cp1252CaseSwapTable();
  for (std::size_t byte = 0; byte < 256; ++byte) {
    EXPECT_EQ(swap[swap[byte]], byte) << byte;  // the swap is its own inverse
    if (swap[byte] != byte) {
      EXPECT_EQ(upper[byte], upper[swap[byte]]) << byte;
    }
  }
  EXPECT_EQ(upper[0xE4], 0xC4);
  EXPECT_EQ(upper[0xFF], 0x9F);
  EXPECT_EQ(upper[0xF7], 0xF7);
  EXPECT_EQ(upper[0xDF], 0xDF);
  EXPECT_EQ(upper['a'], 'A');
  EXPECT_EQ(upper['A'], 'A');
}

TEST(PosFrom, SearchesFromAPositionCaseSensitively) {
  struct Case {
    std::string search, text;
    int start, expected;
  };
  const Case cases[] = {
      {"b", "abcb", 1, 2}, {"b", "abcb", 3, 4}, {"B", "abcb", 1, 0}, {"cb", "abcb", 3, 3}, {"cb", "abcb", 4, 0},
      {"", "abc", 1, 0},   {"a", "", 1, 0},     {"a", "abc", 0, 0},  {"a", "abc", 9, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(PosFrom(c.search, c.text, c.start), c.expected) << c.search << c.start;
}
