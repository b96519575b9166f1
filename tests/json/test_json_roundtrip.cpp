// Property: any tree written by Generate (or GenerateIndented) and read back by
// Parse is the same tree, numbers compared at 15 significant digits. Strings
// are drawn from every Windows-1252 character in any order, also beside the
// characters the writer escapes (control characters, the euro sign); such a
// string reads back as written unless its bytes are UTF-8 through and through,
// which the reader rightly prefers.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "json_test_support.h"

namespace wb::test {
namespace {

// What the reader must give for a string the writer wrote: the text itself,
// unless every byte of its code-page form belongs to a whole UTF-8 sequence (a
// lead byte from 0xC0 up, then one continuation byte 0x80-0xBF, or two after a
// lead from 0xE0 up; 16 bits kept). Then the UTF-8 reading.
std::u16string ExpectedReading(std::u16string_view written) {
  const std::string bytes = platform::WideToAnsi(written);
  std::u16string utf8;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      utf8 += static_cast<char16_t>(lead);
      ++i;
      continue;
    }
    const std::size_t length = lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || bytes.size() - i < length) return std::u16string(written);
    uint32_t character = lead & (length == 2 ? 0x1F : 0x0F);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return std::u16string(written);
      character = (character << 6) | (next & 0x3F);
    }
    utf8 += static_cast<char16_t>(character & 0xFFFF);
    i += length;
  }
  return utf8;
}

class RandomTrees {
 public:
  explicit RandomTrees(uint32_t seed) : random_(seed) {
    // Every character of the code page, in three groups drawn equally often:
    // printable ASCII, the characters from 0x80 up, and those the writer
    // escapes (control characters, quote, backslash, slash, the euro sign).
    for (int byte = 0; byte < 256; ++byte) {
      const char16_t c = platform::Cp1252ToChar(static_cast<unsigned char>(byte));
      const bool escaped = c < 0x20 || c == u'"' || c == u'\\' || c == u'/' || c == u'€';
      (escaped ? escaped_ : c < 0x80 ? ascii_ : high_).push_back(c);
    }
  }

  std::unique_ptr<TWBCustomJSON> Value(int depth) {
    // The root is always a container; deeper down scalars take over.
    const int kind = depth == 0 ? 4 + Pick(2) : Pick(depth >= 4 ? 4 : 6);
    switch (kind) {
      case 0: return TWBCustomJSON::CreateNumber(Number());
      case 1: return TWBCustomJSON::CreateString(Text());
      case 2: return TWBCustomJSON::CreateBoolean(Pick(2) == 1);
      case 3: return std::make_unique<TWBJSONnull>();
      case 4: {
        auto list = std::make_unique<TWBSONList>();
        for (int i = Pick(6); i > 0; --i) list->Add(Value(depth + 1));
        return list;
      }
      default: {
        auto object = std::make_unique<TWBJSON>();
        for (int i = Pick(6); i > 0; --i) object->AddMember(Text(), Value(depth + 1));
        return object;
      }
    }
  }

 private:
  int Pick(int count) { return static_cast<int>(random_() % static_cast<uint32_t>(count)); }

  long double Number() {
    switch (Pick(4)) {
      case 0: return static_cast<int32_t>(random_());
      case 1: return std::ldexp(static_cast<long double>(random_()), Pick(120) - 60);
      case 2: return std::uniform_real_distribution<double>(-1, 1)(random_) * std::pow(10.0L, Pick(80) - 40);
      default: return static_cast<long double>(Pick(1000)) / 8;
    }
  }

  std::u16string Text() {
    const std::u16string* groups[] = {&ascii_, &high_, &escaped_};
    std::u16string text;
    for (int i = Pick(12); i > 0; --i) {
      const std::u16string& group = *groups[Pick(3)];
      text += group[static_cast<std::size_t>(Pick(static_cast<int>(group.size())))];
    }
    return text;
  }

  std::mt19937 random_;
  std::u16string ascii_;
  std::u16string high_;
  std::u16string escaped_;
};

void ExpectSameTree(const TWBCustomJSON* expected, const TWBCustomJSON* actual, const std::string& path) {
  ASSERT_NE(actual, nullptr) << path;
  ASSERT_EQ(actual->Kind(), expected->Kind()) << path;
  switch (expected->Kind()) {
    case js_Number: {
      const long double a = static_cast<const TWBJSONnumber*>(expected)->Value();
      const long double b = static_cast<const TWBJSONnumber*>(actual)->Value();
      EXPECT_EQ(FloatToText(a, '.'), FloatToText(b, '.')) << path;
      EXPECT_LE(std::fabs(a - b), std::fabs(a) * 5e-15L) << path;
      break;
    }
    case js_String:
      EXPECT_EQ(ExpectedReading(static_cast<const TWBJSONstring*>(expected)->Value()),
                static_cast<const TWBJSONstring*>(actual)->Value())
          << path;
      break;
    case js_Boolean:
      EXPECT_EQ(static_cast<const TWBJSONboolean*>(expected)->Value(),
                static_cast<const TWBJSONboolean*>(actual)->Value());
      break;
    case js_List:
    case js_Object: {
      ASSERT_EQ(actual->ChildCount(), expected->ChildCount()) << path;
      const bool object = expected->Kind() == js_Object;
      for (int i = 0; i < expected->ChildCount(); ++i) {
        const std::string at = path + "/" + std::to_string(i);
        if (!object) {
          ExpectSameTree(expected->ChildAt(i), actual->ChildAt(i), at);
          continue;
        }
        const auto* want = static_cast<const TWBJSONmember*>(expected->ChildAt(i));
        const auto* got = static_cast<const TWBJSONmember*>(actual->ChildAt(i));
        EXPECT_EQ(ExpectedReading(want->Name()), got->Name()) << at;
        ExpectSameTree(want->Value(), got->Value(), at);
        // The index of the read object finds the first member of each name.
        int first = 0;
        while (ExpectedReading(static_cast<const TWBJSONmember*>(expected->ChildAt(first))->Name()) != got->Name())
          ++first;
        EXPECT_EQ(static_cast<const TWBJSON*>(actual)->IndexOfName(got->Name()), first) << at;
      }
      break;
    }
    default: break;
  }
}

TEST(JsonRoundTrip, ThousandsOfRandomTrees) {
  DecimalSeparatorScope german(',');  // the text must not depend on it
  RandomTrees trees(20240601);
  for (int i = 0; i < 3000; ++i) {
    const auto tree = trees.Value(0);
    const std::string compact = TWBJSONText::Generate(tree.get());
    ExpectSameTree(tree.get(), TWBJSONText::Parse(compact).get(), "compact#" + std::to_string(i));
    ExpectSameTree(tree.get(), TWBJSONText::Parse(GenerateIndented(tree.get())).get(), "indented#" + std::to_string(i));
    if (HasFailure()) {
      ADD_FAILURE() << "text: " << compact;
      return;
    }
  }
}

}  // namespace
}  // namespace wb::test
