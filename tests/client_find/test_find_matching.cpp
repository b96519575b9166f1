// Name matching of the search: the listing's file masks, the filters' wildcard
// matcher, and the targets built from masks, locations and prefixes.
#include <gtest/gtest.h>

#include "client/find_targets.h"
#include "client/find_wildcard.h"
#include "platform/codepage.h"
#include "platform/find_files.h"
#include "platform/wildcard.h"
#include "strings/string_list.h"

namespace wb {
namespace {

struct MatchCase {
  const char* text;
  const char* pattern;
  bool matches;
};

TEST(FileMaskTest, MasksMatchAsTheWindowsListingDoes) {
  const MatchCase cases[] = {
      {"X.DA1", "*.da1", true},   {"y.da1", "*.DA1", true},
      {"y.da10", "*.da1", false}, {"da1", "*.da1", false},
      {"ohne", "*.*", true},      {"ohne", "*", true},
      {"a.b.c", "*.c", true},     {"ohne", "*.", true},
      {"mit.ext", "*.", false},   {"abc", "abc.*", true},
      {"abc.txt", "abc.*", true}, {"abcd", "a?c", false},
      {"abc", "a?c", true},       {".versteckt", "*", true},
      {"a", "", false},           {"Rechnung 12.pdf", "rech*12*", true},
  };
  for (const MatchCase& c : cases)
    EXPECT_EQ(platform::MatchesFileMask(c.text, c.pattern), c.matches) << c.text << " ~ " << c.pattern;
  EXPECT_FALSE(platform::MatchesFileMask(Ansi(u8"Größe.TXT"), Ansi(u8"GRÖSSE.txt")));
  EXPECT_TRUE(platform::MatchesFileMask(Ansi(u8"größe.txt"), Ansi(u8"GRÖßE.*")));
}

// The one matcher under both rules: a listing's mask ("?" after "*" is one
// character more) and the search's filters (it merges into the star).
TEST(WildcardTest, StarsQuestionMarksAndCase) {
  struct Case {
    const char* text;
    const char* pattern;
    bool listing;
    bool filters;
  };
  const Case cases[] = {
      {"/daten/a.bak", "*.bak", true, true},
      {"/daten/a.bak", "*.BAK", true, true},
      {"/daten/a.bakx", "*.bak", false, false},
      {"/daten/ohne.", "*.", true, true},
      {"abc", "a?c", true, true},
      {"ac", "a?c", false, false},
      {"ac", "a*?c", false, true},
      {"abc", "a*??c", false, true},
      {"abbc", "a*??c", true, true},
      {"a", "a*?", false, true},
      {"", "*", true, true},
      {"", "**", true, true},
      {"", "", true, true},
      {"x", "", false, false},
      {"", "?", false, false},
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*c", false, false},
      {"mississippi", "*sip*", true, true},
      {"mississippi", "m*i*s*p", false, false},
      {"mississippi", "m*i*s*i", true, true},
  };
  using platform::QuestionAfterStar;
  for (const Case& c : cases) {
    EXPECT_EQ(platform::WildcardMatch(c.text, c.pattern, QuestionAfterStar::OneCharacter), c.listing)
        << c.text << " ~ " << c.pattern;
    EXPECT_EQ(platform::WildcardMatch(c.text, c.pattern, QuestionAfterStar::MergesIntoStar), c.filters)
        << c.text << " ~ " << c.pattern;
  }
  for (auto rule : {QuestionAfterStar::OneCharacter, QuestionAfterStar::MergesIntoStar}) {
    EXPECT_TRUE(platform::WildcardMatch(Ansi(u8"/ÄRGER.txt"), Ansi(u8"*ärger*"), rule));
    EXPECT_TRUE(platform::WildcardMatch(Ansi(u8"ŠŒŽŸ"), Ansi(u8"šœžÿ"), rule));
    EXPECT_FALSE(platform::WildcardMatch(Ansi(u8"×"), Ansi(u8"÷"), rule));
  }
}

TEST(WildcardTest, FiltersDecideInOrder) {
  TStringList filters;
  EXPECT_TRUE(PassesFilters(filters, "/a.bak"));
  filters.Add("");
  filters.Add(">*/keep*");
  filters.Add("<*.bak");
  filters.Add("*.tmp");
  EXPECT_FALSE(PassesFilters(filters, "/a.bak"));
  EXPECT_FALSE(PassesFilters(filters, "/a.tmp"));
  EXPECT_TRUE(PassesFilters(filters, "/keep.bak"));
  EXPECT_TRUE(PassesFilters(filters, "/a.txt"));
}

TEST(TargetsTest, MasksAreTrimmedAndUnique) {
  EXPECT_EQ(SplitFileMasks(""), (std::vector<std::string>{"*.*"}));
  EXPECT_EQ(SplitFileMasks(" ; ;"), (std::vector<std::string>{"*.*"}));
  EXPECT_EQ(SplitFileMasks(" *.da1 ;*.DA1;\t*.txt;*.da1"), (std::vector<std::string>{"*.da1", "*.txt"}));
}

TEST(TargetsTest, ExpandingPathsInBothStyles) {
  using platform::kPathStylePosix;
  using platform::kPathStyleWindows;
  struct Case {
    const char* path;
    const char* current;
    platform::PathStyle style;
    const char* expanded;
  };
  const Case cases[] = {
      {"/a/b/../c/./d", "/x", kPathStylePosix, "/a/c/d"},
      {"rel//sub", "/home/u", kPathStylePosix, "/home/u/rel/sub"},
      {"../..", "/home/u", kPathStylePosix, "/"},
      {"../../../..", "/home/u", kPathStylePosix, "/"},
      {"", "/home/u", kPathStylePosix, "/home/u"},
      {"C:\\Daten\\..\\Belege", "D:\\x", kPathStyleWindows, "C:\\Belege"},
      {"Daten", "D:\\x", kPathStyleWindows, "D:\\x\\Daten"},
      {"\\Daten", "D:\\x", kPathStyleWindows, "D:\\Daten"},
      {"D:Daten", "D:\\x", kPathStyleWindows, "D:\\x\\Daten"},
      {"E:Daten", "D:\\x", kPathStyleWindows, "E:\\Daten"},
      {"\\\\server\\freigabe\\a\\..\\b", "D:\\x", kPathStyleWindows, "\\\\server\\freigabe\\b"},
      {"c:/daten/", "D:\\x", kPathStyleWindows, "c:\\daten\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandFileNameFrom(c.path, c.current, c.style), c.expanded) << c.path;
}

TEST(TargetsTest, LocationsPrefixesAndMerging) {
  const auto targets =
      BuildTargetPathsFrom("*.da1; *.txt", "C:\\Daten;2-3>D:\\Belege; <E:\\X; c:\\daten\\;5>",
                           {"1>C:\\DATEN\\*.log", "F:\\Archiv\\", ""}, true, 0, 0, "C:\\", platform::kPathStyleWindows);
  ASSERT_EQ(targets.size(), 4u);
  EXPECT_EQ(targets[0].Folder, "C:\\Daten\\");  // merged with c:\daten\ and C:\DATEN\*.log
  EXPECT_EQ(targets[0].Masks, (std::vector<std::string>{"*.da1", "*.txt", "*.log"}));
  EXPECT_TRUE(targets[0].Subfolders);
  EXPECT_EQ(targets[0].MaxLevel, 1);  // the last entry's levels win
  EXPECT_EQ(targets[1].Folder, "D:\\Belege\\");
  EXPECT_EQ(targets[1].MinLevel, 2);
  EXPECT_EQ(targets[1].MaxLevel, 3);
  EXPECT_EQ(targets[2].Folder, "E:\\X\\");
  EXPECT_FALSE(targets[2].Subfolders);
  EXPECT_EQ(targets[3].Folder, "F:\\Archiv\\");
  EXPECT_EQ(targets[3].Masks, (std::vector<std::string>{"*.*"}));

  // POSIX folders differ in case, so they stay two targets.
  const auto posix =
      BuildTargetPathsFrom("", "/daten;/Daten;x>/a;-4>/b", {}, false, 1, 9, "/", platform::kPathStylePosix);
  ASSERT_EQ(posix.size(), 4u);
  EXPECT_EQ(posix[0].Folder, "/daten/");
  EXPECT_FALSE(posix[0].Subfolders);
  EXPECT_EQ(posix[0].MinLevel, 1);
  EXPECT_TRUE(posix[2].Subfolders);  // "x>" is not a number: the levels stay
  EXPECT_EQ(posix[2].MaxLevel, 9);
  EXPECT_EQ(posix[3].MinLevel, 1);
  EXPECT_EQ(posix[3].MaxLevel, 4);
}

}  // namespace
}  // namespace wb
