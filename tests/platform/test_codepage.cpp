// The text layer: the Windows-1252 table over all bytes, best fit, UTF-8.
#include <gtest/gtest.h>

#include "platform/codepage.h"

using namespace wb::platform;

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
  for (int byte = 0; byte < 256; ++byte) {
    std::string one(1, static_cast<char>(byte));
    EXPECT_EQ(WideToCp1252(Cp1252ToWide(one)), one) << "byte " << byte;
  }
}

TEST(Cp1252, HighControlRangeMapsToItsCharacters) {
  struct Case {
    unsigned char byte;
    char16_t expected;
  };
  const Case cases[] = {{0x80, u'€'}, {0x8A, u'Š'}, {0x9F, u'Ÿ'}, {0x81, 0x0081}, {0x9D, 0x009D},
                        {0xE4, u'ä'}, {0xC4, u'Ä'}, {0xDF, u'ß'}, {0x41, u'A'}};
  for (const Case& c : cases) EXPECT_EQ(Cp1252ToChar(c.byte), c.expected) << int(c.byte);
}

TEST(Cp1252, BestFitUsesTheBaseLetterOrAQuestionMark) {
  struct Case {
    std::u16string wide;
    std::string expected;
  };
  const Case cases[] = {
      {u"Ā", "A"},
      {u"č", "c"},
      {u"Łódź",
       "L\xF3"
       "dz"},
      {u"Œ", "\x8C"},
      {u"€", "\x80"},
      {u"中", "?"},
      {u"\U0001F600", "?"},
      {u"a\xD800"
       u"b",
       "a?b"},
      {u"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(WideToCp1252(c.wide), c.expected);
}

TEST(Utf8, DecodesWellFormedText) {
  std::u16string out;
  ASSERT_TRUE(TryUtf8ToWide("Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC \xF0\x9F\x98\x80", out));
  EXPECT_EQ(out, u"Grüß € \U0001F600");
  EXPECT_EQ(WideToUtf8(out), "Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC \xF0\x9F\x98\x80");
}

TEST(Utf8, RejectsMalformedSequences) {
  const char* bad[] = {
      "\xE4",              // a Windows-1252 umlaut is not UTF-8
      "\xC3",              // truncated
      "\xC0\xAF",          // overlong
      "\xE0\x80\xAF",      // overlong three-byte
      "\xED\xA0\x80",      // surrogate
      "\xF4\x90\x80\x80",  // above U+10FFFF
      "\x80",              // stray continuation
      "\xFF",
  };
  for (const char* text : bad) {
    std::u16string out;
    EXPECT_FALSE(TryUtf8ToWide(text, out)) << text;
  }
  EXPECT_EQ(Utf8ToWide("a\xE4z"), u"a\uFFFDz");
}

TEST(AnsiUtf8, ConvertsBetweenTheSystemCodePageAndUtf8) {
  EXPECT_EQ(AnsiToUtf8("Stra\xDF"
                       "e"),
            "Stra\xC3\x9F"
            "e");
  EXPECT_EQ(Utf8ToAnsi("Stra\xC3\x9F"
                       "e"),
            "Stra\xDF"
            "e");
  EXPECT_EQ(wb::Ansi(u8"geöffnet"),
            "ge\xF6"
            "ffnet");
}
