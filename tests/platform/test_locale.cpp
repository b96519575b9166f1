// The user's locale through the platform layer.
#include <gtest/gtest.h>

#include <utility>

#include "platform/locale.h"

using namespace wb::platform;

TEST(Locale, DecimalSeparatorCanBePinned) {
  const std::pair<char, char> cases[] = {{',', ','}, {'.', '.'}, {'\0', UserDecimalSeparator()}, {',', ','}};
  for (const auto& [pinned, used] : cases) {
    SetDecimalSeparatorOverride(pinned);
    EXPECT_EQ(DecimalSeparator(), used) << int(pinned);
  }
  SetDecimalSeparatorOverride('\0');
}

TEST(Locale, ComparesWithAndWithoutCase) {
  EXPECT_EQ(CompareLocaleText("Abc", "abc", true), 0);
  EXPECT_NE(CompareLocaleText("Abc", "abc", false), 0);
  EXPECT_EQ(CompareLocaleText("abc", "abc", false), 0);
  EXPECT_LT(CompareLocaleText("abc", "abd", true), 0);
  EXPECT_GT(CompareLocaleText("b", "A", true), 0);
  // A locale comparison sorts the umlaut with its base letter, not after z.
  EXPECT_LT(CompareLocaleText("\xE4pfel", "birne", true), 0);
  EXPECT_EQ(CompareLocaleText("\xC4PFEL", "\xE4pfel", true), 0);
  EXPECT_EQ(CompareLocaleText("", "", true), 0);
  EXPECT_LT(CompareLocaleText("", "a", true), 0);
}
