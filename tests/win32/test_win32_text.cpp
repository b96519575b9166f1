// Text on Windows: the system code page through MultiByteToWideChar and
// WideCharToMultiByte, CompareStringA, CoCreateGuid.
#include <gtest/gtest.h>

#include <set>

#include "platform/codepage.h"
#include "platform/guid.h"
#include "platform/locale.h"
#include "strings/strutils.h"
#include "win32/win32_test_support.h"

namespace wb {
namespace {

TEST(Win32Text, TheSystemCodePageIsWindows1252HereAndMatchesOurTable) {
  ASSERT_EQ(::GetACP(), 1252u) << "the tests expect a German or Western system code page";
  std::string every;
  for (int c = 1; c < 256; ++c) every.push_back(static_cast<char>(c));
  EXPECT_EQ(platform::AnsiToWide(every), platform::Cp1252ToWide(every));
  EXPECT_EQ(platform::WideToAnsi(platform::Cp1252ToWide(every)), every);
  // Best fit: a letter outside the code page becomes its base letter.
  EXPECT_EQ(platform::WideToAnsi(u"\u0100pfel \u20AC \u4E2D"), "Apfel \x80 ?");
  EXPECT_EQ(platform::AnsiToUtf8("Gr\xF6\xDF"
                                 "e"),
            "Größe");
  EXPECT_EQ(platform::Utf8ToAnsi("Größe"),
            "Gr\xF6\xDF"
            "e");
  EXPECT_EQ(platform::AnsiToWide(""), u"");
}

TEST(Win32Text, LocaleComparisonIgnoresCaseWhenAsked) {
  EXPECT_EQ(platform::CompareLocaleText("Abc", "abc", true), 0);
  EXPECT_NE(platform::CompareLocaleText("Abc", "abc", false), 0);
  EXPECT_LT(platform::CompareLocaleText("\xE4pfel", "birne", true), 0);
  EXPECT_EQ(platform::CompareLocaleText("\xC4PFEL", "\xE4pfel", true), 0);
  EXPECT_LT(platform::CompareLocaleText("", "a", true), 0);
  EXPECT_GT(platform::CompareLocaleText(std::string("a\0b", 3), "a", false), 0);
  const char separator = platform::DecimalSeparator();
  EXPECT_TRUE(separator == '.' || separator == ',') << separator;
}

TEST(Win32Text, GuidsAreNewEachTime) {
  std::set<std::string> seen;
  for (int i = 0; i < 50; ++i) {
    const std::string text = NewGuidText();
    ASSERT_EQ(text.size(), 36u);
    EXPECT_EQ(text.find_first_not_of("0123456789ABCDEF-"), std::string::npos) << text;
    EXPECT_TRUE(seen.insert(text).second);
  }
}

}  // namespace
}  // namespace wb
