// The lenient reader: what it accepts, what makes it give nil, how strings are
// unescaped and decoded, the nesting bound, and loading from streams and files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "client/file_helpers.h"
#include "client/streams.h"
#include "json_test_support.h"
#include "support/files.h"
#include "support/temp_env.h"

namespace wb::test {
namespace {

constexpr const char* kNil = "<nil>";

std::string Reparsed(std::string_view text) {
  auto value = ParseText(text);
  return value ? TWBJSONText::Generate(value.get()) : kNil;
}

struct TextCase {
  std::string Input;
  std::string Expected;  // compact text of the result, or kNil
};

void ExpectCases(const std::vector<TextCase>& cases) {
  for (const auto& c : cases) EXPECT_EQ(Reparsed(c.Input), c.Expected) << "input: " << c.Input;
}

TEST(JsonParser, LeniencyAndTrailingText) {
  ExpectCases({
      {"", kNil},
      {"\xEF\xBB\xBF", kNil},
      {"\xEF\xBB\xBF{}", "{}"},
      {" \r\n\t{}", "{}"},
      {std::string("\x00\x01\x1F[1]", 6), "[1]"},  // every byte up to 0x20 is whitespace
      {"{} x", "{}"},
      {"[1] [2]", "[1]"},
      {"[1 2]", "[1,2]"},
      {"[1,]", "[1]"},
      {"[1,,2]", kNil},
      {"[,1]", kNil},
      {"[]", "[]"},
      {"[ ]", "[]"},
      {R"({"a":1,})", R"({"a":1})"},
      {R"({"a":1,,"b":2})", kNil},
      {R"({"a":1 "b":2})", R"({"a":1,"b":2})"},
      {R"({a:1})", kNil},
      {R"({"a" 1})", kNil},
      {R"({"a":})", kNil},
      {"trueish", "true"},
      {"nullx", "null"},
      {"[true]", "[true]"},
      {"[True]", kNil},
      {"[tru]", kNil},
      {"[false,null]", "[false,null]"},
      {"[", kNil},
      {"{", kNil},
      {R"(["a")", kNil},
      {"x", kNil},
      {" ", kNil},
  });
}

TEST(JsonParser, NumberGrammar) {
  ExpectCases({
      {"+5", "5"},
      {"007", "7"},
      {"1E3", "1000"},
      {"1e3", "1000"},
      {"-0", "0"},
      {"-2.5", "-2.5"},
      {"1.5e-3", "0.0015"},
      {"2E+2", "200"},
      {"-", kNil},
      {"+", kNil},
      {"1.", kNil},
      {".5", kNil},
      {"1e", kNil},
      {"1e+", kNil},
      {"[1.]", kNil},
      {"1e400", "1E400"},  // inside the 80-bit range
      {"1e99999", kNil},   // beyond it: unreadable
      {"1e-99999", "0"},   // below its smallest: zero
      {"123456789012345678901234567890", "1.23456789012346E29"},
      {"0.000000000000000000000000000001", "1E-30"},
  });
}

TEST(JsonParser, NumbersIgnoreTheDecimalComma) {
  DecimalSeparatorScope german(',');
  auto value = ParseText("1.5");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(JSONAs<TWBJSONnumber>(value.get())->Value(), 1.5L);
  EXPECT_EQ(Reparsed("[1,5]"), "[1,5]");  // two numbers, not one and a half
}

std::u16string StringOf(std::string_view json) {
  auto value = ParseText(json);
  const auto* text = JSONAs<TWBJSONstring>(value.get());
  return text ? std::u16string(text->Value()) : u"<nil>";
}

TEST(JsonParser, Escapes) {
  EXPECT_EQ(StringOf(R"("\u00e4")"), u"ä");
  EXPECT_EQ(StringOf(R"("\u00C4")"), u"Ä");
  EXPECT_EQ(StringOf(R"("\u20ac")"), u"€");
  EXPECT_EQ(StringOf(R"("a\x41b")"), u"a41b");  // an unknown escape drops backslash and letter
  EXPECT_EQ(StringOf(R"("\"\'\/\\\b\f\n\r\t")"), u"\"'/\\\b\f\n\r\t");
  EXPECT_EQ(StringOf(R"("\u0041\u00e4")"), u"Aä");
  EXPECT_EQ(StringOf(R"("\u12")"), u"<nil>");  // too few hex digits: the whole text is unreadable
  EXPECT_EQ(Reparsed(R"(["ok","\uZZZZ"])"), kNil);
  EXPECT_EQ(Reparsed(R"({"\u12":1})"), kNil);
  EXPECT_EQ(StringOf(R"("abc\")"), u"<nil>");                        // the escaped quote does not close the string
  EXPECT_EQ(StringOf("\"line\nbreak\ttab\""), u"line\nbreak\ttab");  // raw control bytes are kept
}

TEST(JsonParser, StringsAreUTF8OrSystemCodePageEachOnItsOwn) {
  EXPECT_EQ(StringOf("\"\xC3\xA4\""), u"ä");      // UTF-8
  EXPECT_EQ(StringOf("\"\xE4\""), u"ä");          // Windows-1252
  EXPECT_EQ(StringOf("\"\xE2\x82\xAC\""), u"€");  // UTF-8, three bytes
  EXPECT_EQ(StringOf("\"\x80\""), u"€");          // Windows-1252 euro
  auto list = ParseText("[\"\xC3\xA4\",\"\xE4\"]");
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(static_cast<TWBSONList*>(list.get())->WideStringAt(0), u"ä");
  EXPECT_EQ(static_cast<TWBSONList*>(list.get())->WideStringAt(1), u"ä");
  // Only euro escapes among ANSI bytes read correctly ...
  EXPECT_EQ(StringOf("\"\\u20ac \xE4\""), u"€ ä");
  // ... but a euro beside another escape above 0x7F spoils the UTF-8 reading:
  // the ä escape's two bytes then come out as two code-page characters.
  EXPECT_EQ(StringOf(R"("\u00e4\u20ac")"), u"Ã¤€");
  // A character beyond 16 bits is not UTF-8 to this reader: code page instead.
  EXPECT_EQ(StringOf("\"\xF0\x9F\x98\x80\"").size(), 4u);
}

// A byte from 0x80 to 0xBF can only continue a UTF-8 sequence. Two such
// Windows-1252 characters side by side, or one after the euro escape (its byte
// is 0x80), are therefore text of the code page, never one UTF-8 character.
TEST(JsonParser, NeighbouringCodePageCharactersStayApart) {
  const struct {
    const char* Json;      // as the writer produces it: code-page bytes, euro escaped
    const char* Expected;  // UTF-8
  } kCases[] = {
      {"\"A \x96\x96 B\"", "A –– B"},
      {"\"\x91\x92\"", "‘’"},
      {"\"\x85\x93\"", "…“"},
      {"\"\\u20ac\x97\"", "€—"},
      {"\"\\u20ac\x94\"", "€”"},
      {"\"\x80\x80\"", "€€"},
      {"\"\xA0\xBF\"", "\u00A0¿"},
      {"\"x\xB0\"", "x°"},
      // A lead byte from 0xC0 up still starts a sequence: valid UTF-8 reads the same.
      {"\"\xC3\xA4\xE2\x80\x93\"", "ä–"},
      {"\"\xC3\x96\x96\"", "Ã––"},  // the second 0x96 stands alone: the whole string is code page
  };
  for (const auto& c : kCases) EXPECT_EQ(StringOf(c.Json), W(c.Expected)) << c.Json;
}

TEST(JsonParser, StringHelpers) {
  const struct {
    uint32_t CodePoint;
    const char* Bytes;
  } kCodePoints[] = {{0x41, "A"},      {0xE4, "\xC3\xA4"},       {0x7FF, "\xDF\xBF"},          {0x800, "\xE0\xA0\x80"},
                     {0x20AC, "\x80"}, {0xFFFF, "\xEF\xBF\xBF"}, {0x10000, "\xF0\x90\x80\x80"}};
  for (const auto& c : kCodePoints) EXPECT_EQ(json_text::CodePointToUTF8(c.CodePoint), c.Bytes) << c.CodePoint;
  EXPECT_EQ(json_text::UnescapeJSONText("plain"), "plain");
  EXPECT_EQ(json_text::UnescapeJSONText(R"(a\q\u0041)"), "aA");  // \q is dropped
  EXPECT_EQ(json_text::UnescapeJSONText(R"(a\\q)"), "a\\q");
  EXPECT_THROW(json_text::UnescapeJSONText(R"(\u00G0)"), EConvertError);
  EXPECT_EQ(json_text::DecodeUTF8OrAnsi(""), u"");
  // The reader's UTF-8 is lenient: overlong forms are taken, 16 bits are kept.
  EXPECT_EQ(json_text::DecodeUTF8OrAnsi("\xC0\x80"), std::u16string(1, u'\0'));
  EXPECT_EQ(json_text::DecodeUTF8OrAnsi("\xC3"), u"Ã");  // cut off: code page
}

// The quick scan looks at 16 bytes at a time: every position of a stop byte in
// and around such a block must end or divert the scan right there.
TEST(JsonParser, StopBytesAtEveryPosition) {
  for (std::size_t length = 0; length < 40; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      std::string plain(length, 'x');
      std::u16string expected(length, u'x');
      plain[at] = '\xE4';
      expected[at] = u'ä';
      EXPECT_EQ(StringOf('"' + plain + '"'), expected) << length << "/" << at;
      plain[at] = '\\';
      plain.insert(at + 1, "n");
      expected[at] = u'\n';
      EXPECT_EQ(StringOf('"' + plain + '"'), expected) << length << "/" << at;
      const std::string cut = '"' + std::string(at, 'y') + '"' + std::string(length - at, 'z');
      EXPECT_EQ(StringOf(cut), std::u16string(at, u'y')) << length << "/" << at;
    }
  }
}

TEST(JsonParser, MemberNamesAndRepeatedNames) {
  auto object = ParseObject(R"({"a\u00e4\/b":1,"x":2,"x":3})");
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(object->NameAt(0), u"aä/b");
  EXPECT_EQ(object->ChildCount(), 3);
  EXPECT_EQ(object->IndexOfName(u"x"), 1);
  EXPECT_EQ(object->IntegerByName("x"), 2);
  EXPECT_EQ(JSONAs<TWBJSONnumber>(object->ValueAt(2))->Value(), 2);  // the second "x" reaches the first
  EXPECT_EQ(TWBJSONText::Generate(object.get()), R"({"a)" + A("ä") + R"(\/b":1,"x":2,"x":3})");
  EXPECT_TRUE(object->Indexed());
}

std::string Nested(int depth, std::string_view inner = "") {
  return std::string(static_cast<std::size_t>(depth), '[') + std::string(inner) +
         std::string(static_cast<std::size_t>(depth), ']');
}

TEST(JsonParser, NestingIsBounded) {
  EXPECT_NE(ParseText(Nested(kMaxJSONNesting, "1")), nullptr);
  EXPECT_EQ(ParseText(Nested(kMaxJSONNesting + 1, "1")), nullptr);
  EXPECT_EQ(ParseText(std::string(100000, '[')), nullptr);
  EXPECT_EQ(ParseText(Nested(100000)), nullptr);
  std::string objects;
  for (int i = 0; i < 100000; ++i) objects += R"({"a":)";
  EXPECT_EQ(ParseText(objects), nullptr);
  // The bound counts open containers, not all containers: siblings are fine.
  std::string wide = "[";
  for (int i = 0; i < 2000; ++i) wide += Nested(10) + ",";
  wide += "]";
  auto list = ParseText(wide);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->ChildCount(), 2000);
}

TEST(JsonParser, LoadFromStreamReadsFromTheCurrentPosition) {
  EXPECT_EQ(TWBJSONStreamer::LoadFromStream(nullptr), nullptr);
  TMemoryStream stream;
  const std::string bytes = "garbage[1,2]";
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(7);
  auto value = TWBJSONStreamer::LoadFromStream(&stream);
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(TWBJSONText::Generate(value.get()), "[1,2]");
}

class JsonLoadFile : public ::testing::Test {
 protected:
  void SetUp() override { SetRetryPauseMsForTesting(1); }
  void TearDown() override { SetRetryPauseMsForTesting(-1); }
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = env_.Dir("data") + name;
    EXPECT_TRUE(WriteBytes(path, bytes)) << path;
    return path;
  }
  TempEnv env_;
};

TEST_F(JsonLoadFile, MissingDamagedAndGoodFiles) {
  EXPECT_EQ(TWBJSONStreamer::LoadFromFile(env_.Dir("data") + "missing.json"), nullptr);
  EXPECT_EQ(TWBJSONStreamer::LoadFromFile(Write("damaged.json", "{\"Items\":[")), nullptr);
  EXPECT_EQ(TWBJSONStreamer::LoadFromFile(env_.Dir("data")), nullptr);  // a folder is no file
  auto document = TWBJSONStreamer::LoadFromFile(Write("sdr.json", "\xEF\xBB\xBF{\r\n  \"Items\":[]\r\n}"));
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(document->MemberByName("Items")->Kind(), js_List);
}

TEST_F(JsonLoadFile, AFileThatCannotBeOpenedRaises) {
  const std::string path = Write("locked.json", "{}");
  std::filesystem::permissions(path, std::filesystem::perms::none);
  if (std::ifstream(path).is_open()) GTEST_SKIP() << "running with rights that ignore file permissions";
  EXPECT_THROW(TWBJSONStreamer::LoadFromFile(path), Exception);
}

}  // namespace
}  // namespace wb::test
