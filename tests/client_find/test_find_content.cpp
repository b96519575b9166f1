// Content search: text forms by byte-order mark, case, whole words, negation,
// and phrases that straddle the boundary between two read blocks.
#include <gtest/gtest.h>

#include <algorithm>

#include "client/find_content.h"
#include "platform/codepage.h"
#include "support/files.h"
#include "support/temp_env.h"

namespace wb {
namespace {

class FindContentTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& bytes) {
    const std::string path = env_.Dir("inhalt") + "f" + std::to_string(counter_++) + ".txt";
    EXPECT_TRUE(test::WriteBytes(path, bytes)) << path;
    return path;
  }
  TContentResult Search(const std::string& bytes, const std::string& phrase, TContentSearchOptions options = 0) {
    return SearchFileContent(Write(bytes), phrase, options);
  }

  test::TempEnv env_;
  int counter_ = 0;
};

constexpr auto kFound = TContentResult::Found;
constexpr auto kNotFound = TContentResult::NotFound;

std::string Utf16(const std::string& ansi, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t c : platform::AnsiToWide(ansi)) {
    const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

TEST_F(FindContentTest, EightBitTextWithCaseAndWholeWords) {
  struct Case {
    std::string text, phrase;
    TContentSearchOptions options;
    TContentResult result;
  };
  const std::string ae = Ansi(u8"ä"), AE = Ansi(u8"Ä");
  const Case cases[] = {
      {"Ein Angebot", "angebot", 0, kFound},
      {"Ein Angebot", "angebot", csoCaseSensitive, kNotFound},
      {"Ein Angebot", "Angebot", csoCaseSensitive, kFound},
      {"K" + ae + "se", "K" + AE + "SE", 0, kFound},
      {"Angebote", "Angebot", csoWholeWord, kNotFound},
      {"Angebot.", "Angebot", csoWholeWord, kFound},
      {"Angebot", "Angebot", csoWholeWord, kFound},                // file start and end are boundaries
      {"x" + ae + "Angebot", "Angebot", csoWholeWord, kNotFound},  // an umlaut is a letter
      {"Angebote und Angebot", "angebot", csoWholeWord, kFound},
      {"", "a", 0, kNotFound},
      {"aaab", "aab", 0, kFound},
  };
  for (const Case& c : cases) EXPECT_EQ(Search(c.text, c.phrase, c.options), c.result) << c.text << " / " << c.phrase;
}

TEST_F(FindContentTest, APhraseAcrossTheBlockBoundaryIsFound) {
  for (int offset : {-7, -3, -1, 0, 1}) {
    std::string text(static_cast<std::size_t>(kContentBlockSize + offset), '.');
    text += "Rechnung";
    text += std::string(100, '.');
    EXPECT_EQ(Search(text, "rechnung"), kFound) << offset;
    EXPECT_EQ(Search(text, "Rechnung", csoWholeWord), kFound) << offset;
  }
  // A word cut at the boundary whose next character is a letter is not a whole word.
  std::string text(kContentBlockSize - 4, ' ');
  text += "Rechnungen";
  EXPECT_EQ(Search(text, "Rechnung", csoWholeWord), kNotFound);
  // A phrase ending exactly at the end of a full block.
  std::string exact(kContentBlockSize - 4, ' ');
  exact += "Ende";
  EXPECT_EQ(Search(exact, "ende", csoWholeWord), kFound);
}

TEST_F(FindContentTest, ByteOrderMarksSelectTheTextForm) {
  const std::string phrase = Ansi(u8"Größe");
  for (bool bigEndian : {false, true}) {
    const std::string bytes = Utf16(Ansi(u8"Die GRÖSSE und die größe"), bigEndian);
    EXPECT_EQ(Search(bytes, phrase), kFound) << bigEndian;
    EXPECT_EQ(Search(bytes, Ansi(u8"größe"), csoCaseSensitive), kFound) << bigEndian;
    EXPECT_EQ(Search(bytes, phrase, csoCaseSensitive), kNotFound) << bigEndian;
    EXPECT_EQ(Search(bytes, Ansi(u8"GRÖßE"), csoCaseSensitive), kNotFound) << bigEndian;
    EXPECT_EQ(Search(bytes, Ansi(u8"GRÖßE")), kFound) << bigEndian;
    EXPECT_EQ(Search(bytes, "die g", csoWholeWord), kNotFound) << bigEndian;
    EXPECT_EQ(Search(bytes, Ansi(u8"die größe"), csoWholeWord), kFound) << bigEndian;
  }
  // UTF-16 across the block boundary: the phrase starts 6 bytes before it.
  std::string longText((kContentBlockSize - 8) / 2, ' ');
  longText += "Lieferschein";
  const std::string bytes = Utf16(longText, false);
  EXPECT_EQ(Search(bytes, "lieferschein", csoWholeWord), kFound);

  const std::string utf8 = "\xEF\xBB\xBF" + platform::AnsiToUtf8(Ansi(u8"Maße: GRÖSSE"));
  EXPECT_EQ(Search(utf8, Ansi(u8"maße")), kFound);
  EXPECT_EQ(Search(utf8, Ansi(u8"größe")), kNotFound);
  EXPECT_EQ(Search(utf8, Ansi(u8"Größe")), kNotFound);
  EXPECT_EQ(Search("\xEF\xBB\xBF" + platform::AnsiToUtf8(Ansi(u8"über")), Ansi(u8"ÜBER")), kFound);
  // Without a mark the same bytes are 8-bit text: the UTF-8 form does not match.
  EXPECT_EQ(Search(platform::AnsiToUtf8(Ansi(u8"über")), Ansi(u8"über")), kNotFound);
  // Broken UTF-8 neither crashes nor matches across the broken bytes.
  EXPECT_EQ(Search("\xEF\xBB\xBF"
                   "ab\xC3"
                   "cd\xE2\x82",
                   "abcd"),
            kNotFound);
}

TEST_F(FindContentTest, NegationAndUnreadableFiles) {
  TContentCriteria criteria;
  criteria.Phrase = "x";
  const std::string with = Write("xyz"), without = Write("abc");
  EXPECT_TRUE(ContentMatches(with, criteria));
  EXPECT_FALSE(ContentMatches(without, criteria));
  criteria.Options = csoNegate;
  EXPECT_FALSE(ContentMatches(with, criteria));
  EXPECT_TRUE(ContentMatches(without, criteria));
  // A file that cannot be read fails the test, negated or not.
  EXPECT_FALSE(ContentMatches(env_.Dir("inhalt") + "fehlt.txt", criteria));
  EXPECT_FALSE(ContentMatches(env_.Dir("ordner"), criteria));
  criteria.Phrase.clear();
  EXPECT_TRUE(ContentMatches(env_.Dir("inhalt") + "fehlt.txt", criteria));
}

// The same search over bytes in memory, cut into blocks of any size.
TContentResult SearchInBlocks(const std::string& bytes, const std::string& phrase, TContentSearchOptions options,
                              int blockSize) {
  size_t position = 0;
  auto read = [&](uint8_t* buffer, int64_t size) -> int64_t {
    const size_t count = std::min(bytes.size() - position, static_cast<size_t>(size));
    std::copy_n(bytes.data() + position, count, buffer);
    position += count;
    return static_cast<int64_t>(count);
  };
  return SearchContent(read, phrase, options, blockSize);
}

TEST(SearchContent, TheAnswerDoesNotDependOnWhereTheBlocksAreCut) {
  struct Case {
    std::string bytes, phrase;
    TContentSearchOptions options;
    TContentResult result;
  };
  const Case cases[] = {
      {"Rechnung und Rechnungen", "rechnungen", csoWholeWord, kFound},
      {"Rechnungen und Rechnungsbetrag", "rechnung", csoWholeWord, kNotFound},
      {"xxRECHNUNG", "rechnung", 0, kFound},
      {Utf16(Ansi(u8"Die größe"), false), Ansi(u8"GRÖSSE"), 0, kNotFound},
      {Utf16(Ansi(u8"Die größe"), true), Ansi(u8"Größe"), csoWholeWord, kFound},
      {"\xEF\xBB\xBF" + platform::AnsiToUtf8(Ansi(u8"Maße: über")), Ansi(u8"ÜBER"), csoWholeWord, kFound},
      {"\xEF\xBB\xBF" + platform::AnsiToUtf8(Ansi(u8"Maße")), "ma", csoWholeWord, kNotFound},
  };
  for (const Case& c : cases) {
    for (int blockSize : {3, 4, 5, 7, 64}) {
      EXPECT_EQ(SearchInBlocks(c.bytes, c.phrase, c.options, blockSize), c.result)
          << c.phrase << " in blocks of " << blockSize;
    }
  }
}

TEST(SearchContent, AReadThatFailsMakesTheTextUnreadable) {
  int calls = 0;
  auto failing = [&](uint8_t*, int64_t size) -> int64_t { return ++calls == 1 ? size : -1; };
  EXPECT_EQ(SearchContent(failing, "nie da", 0, 8), TContentResult::Unreadable);
  EXPECT_EQ(SearchContent([](uint8_t*, int64_t) -> int64_t { return -1; }, "x", 0, 8), TContentResult::Unreadable);
}

}  // namespace
}  // namespace wb
