// Splitting, natural order, hashes and identifiers.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "strings/strutils.h"
#include "support/simulated_time.h"

using Parts = std::vector<std::string>;

namespace {
Parts Split(std::string_view delimiter, std::string_view text, int maxParts = 0, int fixedLength = 0) {
  Parts parts{"stale"};
  wb::SplitText(delimiter, text, maxParts, parts, fixedLength);
  return parts;
}
}  // namespace

TEST(SplitText, CutsAtTheDelimiter) {
  EXPECT_EQ(Split(";", "a;;b;"), (Parts{"a", "", "b"}));
  EXPECT_EQ(Split(";", ";a"), (Parts{"", "a"}));
  EXPECT_EQ(Split(";", "a;b;c", 2), (Parts{"a", "b;c"}));
  EXPECT_EQ(Split(";", "a;b", 0, 4), (Parts{"a", "b", "", ""}));
  EXPECT_EQ(Split(";", "a;b;c", 0, 2), (Parts{"a", "b"}));
  EXPECT_EQ(Split("", "a;b"), (Parts{"a;b"}));
  EXPECT_EQ(Split(";", ""), Parts{});
  EXPECT_EQ(Split(";", "a;b", -1), Parts{});
  EXPECT_EQ(Split("::", "a::b::", 0), (Parts{"a", "b"}));
  EXPECT_EQ(Split(";", std::string_view("a;b\0;c", 6)), (Parts{"a", "b"}));  // a zero byte ends the scan
  EXPECT_EQ(Split("\x08",
                  "pipe\x08"
                  "4711"),
            (Parts{"pipe", "4711"}));
}

TEST(NaturalCompareText, NumbersCountByValueInShortTexts) {
  struct Case {
    std::string a, b;
    int expected;
  };
  const Case cases[] = {
      {"a2", "a10", -1},
      {"a10", "a2", 1},
      {"Item 9", "Item 10", -1},
      {"Rechnung 10", "Rechnung 9", -1},  // 10 or more characters: digits compare as text
      {"Abc", "abc", 0},
      {"abc", "abc1", 0},  // one text runs out with all pairs equal
      {"x007", "x7", 0},
      {"b", "a", 1},
      {"", "", 0},
      {"1", "a", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(wb::NaturalCompareText(c.a, c.b), c.expected) << c.a << " / " << c.b;
}

TEST(SortStringsNatural, SortsAndCarriesObjects) {
  wb::TStringList list;
  int tags[4] = {10, 2, 1, 33};
  list.AddObject("a10", &tags[0]);
  list.AddObject("a2", &tags[1]);
  list.AddObject("a1", &tags[2]);
  list.AddObject("B33", &tags[3]);
  wb::SortStringsNatural(list);
  EXPECT_EQ(list.Text(), "a1\r\na2\r\na10\r\nB33\r\n");
  EXPECT_EQ(list.GetObject(0), &tags[2]);
  EXPECT_EQ(list.GetObject(2), &tags[0]);
  wb::TStringList empty;
  wb::SortStringsNatural(empty);
  EXPECT_EQ(empty.Count(), 0);
}

TEST(HashText, IsTheElfHash) {
  EXPECT_EQ(wb::HashText(""), 0u);
  EXPECT_EQ(wb::HashText("abc"), 26499u);
  // Long texts fold the top nibble back in and never keep it.
  EXPECT_EQ(wb::HashText("abcdefghijklmnopqrstuvwxyz") & 0xF0000000u, 0u);
}

TEST(NewGuidText, GivesUpperCaseRegistryFormWithoutBraces) {
  const std::regex form("^[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}$");
  std::set<std::string> seen;
  for (int i = 0; i < 100; ++i) {
    std::string guid = wb::NewGuidText();
    EXPECT_TRUE(std::regex_match(guid, form)) << guid;
    seen.insert(guid);
  }
  EXPECT_EQ(seen.size(), 100u);
  EXPECT_NE(wb::RandomNameNumber(), wb::RandomNameNumber());
}

TEST(WaitProcessingMessages, HandlesEventsUntilTheTimeIsUpOrTheApplicationQuits) {
  wb::test::SimulatedTime time;
  int clicks = 0;
  time.At(10, [&] { ++clicks; });
  time.At(50, [&] { ++clicks; });
  wb::WaitProcessingMessages(30);
  EXPECT_EQ(time.NowMs(), 30);
  EXPECT_EQ(clicks, 1);
  time.QuitAt(40);
  wb::WaitProcessingMessages(100);
  EXPECT_EQ(time.NowMs(), 40);
  EXPECT_EQ(clicks, 1);
}
