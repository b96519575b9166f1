// The writer: the number text, the escape table, the system code page, the
// indented layout, and Clone on top of writer and reader.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "json/wbjson_codepage.h"
#include "json_test_support.h"

namespace wb::test {
namespace {

std::string NumberText(long double value) {
  auto number = TWBCustomJSON::CreateNumber(value);
  return TWBJSONText::Generate(number.get());
}

TEST(JsonWriter, NumberText) {
  const struct {
    long double Value;
    const char* Text;
  } kCases[] = {
      {0, "0"},
      {1, "1"},
      {-2.5, "-2.5"},
      {0.1, "0.1"},
      {1.0 / 3, "0.333333333333333"},
      {2.0L / 3, "0.666666666666667"},
      {0.0001, "0.0001"},
      {0.00012345, "0.00012345"},
      {1E-5, "1E-5"},
      {-1E-7, "-1E-7"},
      {1E15, "1E15"},
      {1E14, "100000000000000"},
      {123456789012345, "123456789012345"},
      {1234567890123456, "1.23456789012346E15"},
      {999999999999999.9L, "1E15"},
      {1.5E20, "1.5E20"},
      {1234.5, "1234.5"},
      {100, "100"},
      {-0.0, "0"},
      {1.7976931348623157e308, "1.79769313486232E308"},
      {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
      {1e400L, "1E400"},
      {18446744073709551616.0L, "1.84467440737096E19"},
      {0.30000000000000004, "0.3"},
  };
  for (const auto& c : kCases) EXPECT_EQ(NumberText(c.Value), c.Text) << static_cast<double>(c.Value);
}

TEST(JsonWriter, ExactTiesRoundToTheEvenDigit) {
  EXPECT_EQ(NumberText(1234567890123445), "1.23456789012344E15");
  EXPECT_EQ(NumberText(1234567890123455), "1.23456789012346E15");
  EXPECT_EQ(NumberText(123456789012344.5L), "123456789012344");
}

TEST(JsonWriter, NumbersNeverCarryTheDecimalComma) {
  DecimalSeparatorScope german(',');
  EXPECT_EQ(NumberText(2.5), "2.5");
  EXPECT_EQ(NumberText(1.5E-20), "1.5E-20");
  auto object = std::make_unique<TWBJSON>();
  object->SetFloatByName("x", 2.5);
  EXPECT_EQ(TWBJSONText::Generate(object.get()), R"({"x":2.5})");
  EXPECT_EQ(GenerateIndented(object.get()), "{\r\n  \"x\":2.5\r\n}");
}

TEST(JsonWriter, NotANumberStaysReadable) {
  EXPECT_EQ(NumberText(std::numeric_limits<long double>::quiet_NaN()), "null");
  EXPECT_EQ(NumberText(-std::numeric_limits<long double>::infinity()), "null");
}

std::string StringText(std::u16string_view text) {
  auto value = TWBCustomJSON::CreateString(text);
  return TWBJSONText::Generate(value.get());
}

TEST(JsonWriter, EscapesAndCodePage) {
  EXPECT_EQ(StringText(u"/\"\\\t\n"), R"("\/\"\\\t\n")");
  EXPECT_EQ(StringText(u"\b\f\r"), R"("\b\f\r")");
  EXPECT_EQ(StringText(u"€"), R"("\u20ac")");
  EXPECT_EQ(StringText(u"ä"), "\"\xE4\"");
  EXPECT_EQ(StringText(u"Grüße €5"),
            "\"Gr\xFC\xDF"
            "e \\u20ac5\"");
  EXPECT_EQ(StringText(u"Ā"), "\"A\"");   // best fit
  EXPECT_EQ(StringText(u"中"), "\"?\"");  // no best fit
  EXPECT_EQ(StringText(std::u16string(1, u'\x01')), R"("\u0001")");
  EXPECT_EQ(StringText(std::u16string(1, u'\x1F')), R"("\u001F")");
  EXPECT_EQ(StringText(std::u16string(1, u'\0')), R"("\u0000")");
  EXPECT_EQ(StringText(u"\x7F'"), "\"\x7F'\"");
  EXPECT_EQ(StringText(u""), "\"\"");
}

// Runs of plain characters are copied eight at a time: a character that needs
// care must be caught at every position in and around such a block.
TEST(JsonWriter, SpecialCharactersAtEveryPosition) {
  const struct {
    char16_t Character;
    const char* Written;
  } kSpecials[] = {{u'"', "\\\""}, {u'/', "\\/"},     {u'\\', "\\\\"},   {u'\x1F', "\\u001F"},
                   {u'ä', "\xE4"}, {u'€', "\\u20ac"}, {u'\x7F', "\x7F"}, {u'~', "~"},
                   {u' ', " "},    {u'Ā', "A"},       {u'\x8000', "?"}};
  for (std::size_t length = 1; length < 34; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      for (const auto& special : kSpecials) {
        std::u16string text(length, u'a');
        text[at] = special.Character;
        const std::string expected =
            '"' + std::string(at, 'a') + special.Written + std::string(length - at - 1, 'a') + '"';
        ASSERT_EQ(StringText(text), expected) << length << "/" << at << "/" << special.Written;
      }
    }
  }
}

TEST(JsonWriter, CodePageTablesAgreeWithThePlatform) {
  const json_text::TCodePageTables& tables = json_text::SystemCodePage();
  ASSERT_TRUE(tables.Usable());
  for (int byte = 0; byte < 256; ++byte) {
    const std::string single(1, static_cast<char>(byte));
    EXPECT_EQ(std::u16string(1, tables.CharOf(static_cast<unsigned char>(byte))), platform::AnsiToWide(single));
  }
  for (uint32_t unit = 0; unit < 0x10000; ++unit) {
    const int byte = tables.ByteOf(static_cast<char16_t>(unit));
    if (byte < 0) continue;
    const std::u16string character(1, static_cast<char16_t>(unit));
    ASSERT_EQ(platform::WideToAnsi(character), std::string(1, static_cast<char>(byte))) << unit;
  }
  EXPECT_EQ(tables.ByteOf(u'€'), 0x80);
  EXPECT_EQ(tables.ByteOf(u'Ā'), -1);  // best fit is the platform's, for whole strings
}

TEST(JsonWriter, CompactForms) {
  EXPECT_EQ(TWBJSONText::Generate(nullptr), "");
  EXPECT_EQ(GenerateIndented(nullptr), "");
  TWBJSON emptyObject;
  TWBSONList emptyList;
  EXPECT_EQ(TWBJSONText::Generate(&emptyObject), "{}");
  EXPECT_EQ(TWBJSONText::Generate(&emptyList), "[]");
  EXPECT_EQ(GenerateIndented(&emptyObject), "{}");
  EXPECT_EQ(GenerateIndented(&emptyList), "[]");

  TWBJSON object;
  object.SetIntegerByName("a", 1);
  auto* list = object.AddMemberAndGet(u"b", std::make_unique<TWBSONList>());
  list->Add(TWBCustomJSON::CreateBoolean(true));
  list->Add(std::make_unique<TWBJSONnull>());
  object.AddMember(u"q\"uote", TWBCustomJSON::CreateString(u""));
  EXPECT_EQ(TWBJSONText::Generate(&object), R"({"a":1,"b":[true,null],"q\"uote":""})");

  TWBJSONmember pairWithoutValue(u"name", nullptr);
  EXPECT_EQ(TWBJSONText::Generate(&pairWithoutValue), R"("name":)");
}

TEST(JsonWriter, TheEightLineIndentedExample) {
  TWBJSON root;
  auto* items = root.AddMemberAndGet(u"Items", std::make_unique<TWBSONList>());
  auto* entry = items->AppendAndGet(std::make_unique<TWBJSON>());
  entry->SetStringByName("Info", "x");
  entry->SetIntegerByName("Copies", 1);
  EXPECT_EQ(GenerateIndented(&root),
            "{\r\n"
            "  \"Items\":[\r\n"
            "    {\r\n"
            "      \"Info\":\"x\",\r\n"
            "      \"Copies\":1\r\n"
            "    }\r\n"
            "  ]\r\n"
            "}");
}

TEST(JsonWriter, IndentedNesting) {
  auto value = ParseText(R"({"a":1,"e":[],"o":{},"l":[[1,2],{"k":"v"}]})");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(GenerateIndented(value.get()),
            "{\r\n"
            "  \"a\":1,\r\n"
            "  \"e\":[],\r\n"
            "  \"o\":{},\r\n"
            "  \"l\":[\r\n"
            "    [\r\n"
            "      1,\r\n"
            "      2\r\n"
            "    ],\r\n"
            "    {\r\n"
            "      \"k\":\"v\"\r\n"
            "    }\r\n"
            "  ]\r\n"
            "}");
  EXPECT_EQ(GenerateIndented(TWBCustomJSON::CreateString(u"s").get()), "\"s\"");
}

TEST(JsonClone, CopiesThroughTheText) {
  EXPECT_EQ(TWBCustomJSON::Clone(nullptr), nullptr);
  auto source = ParseObject(R"({"n":0.1,"s":"x","d":1,"d":2,"l":[true]})");
  ASSERT_NE(source, nullptr);
  static_cast<TWBJSONnumber*>(source->ValueByName(u"n"))->SetValue(1.0L / 3);
  static_cast<TWBJSONstring*>(source->ValueByName(u"s"))->SetValue(u"中ä");
  auto copy = JSONCast<TWBJSON>(TWBCustomJSON::Clone(source.get()));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(TWBJSONText::Generate(copy.get()), TWBJSONText::Generate(source.get()));
  EXPECT_EQ(static_cast<TWBJSONnumber*>(copy->ValueByName(u"n"))->Value(), 0.333333333333333L);
  EXPECT_EQ(copy->WideStringAt(1), u"?ä");
  EXPECT_EQ(copy->ChildCount(), 5);
  // Nothing is shared: changing the copy leaves the source alone.
  copy->SetStringByName("s", "neu");
  static_cast<TWBSONList*>(copy->ValueByName(u"l"))->RemoveChildAt(0);
  EXPECT_EQ(source->StringByName("s"), "?" + A("ä"));
  EXPECT_EQ(source->ValueByName(u"l")->ChildCount(), 1);
}

}  // namespace
}  // namespace wb::test
