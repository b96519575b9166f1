// Property: any tree written by Generate (or GenerateIndented) and read back by
// Parse is the same tree, numbers compared at 15 significant digits.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "json_test_support.h"

namespace wb::test {
namespace {

class RandomTrees {
 public:
  explicit RandomTrees(uint32_t seed) : random_(seed) {
    // Every character of the code page, control characters included.
    for (int byte = 0; byte < 256; ++byte) {
      const char16_t c = platform::Cp1252ToChar(static_cast<unsigned char>(byte));
      (c < 0x80 ? ascii_ : high_).push_back(c);
    }
    for (char16_t c : u"\"\\/\b\f\n\r\t{}[]:,") ascii_.push_back(c);
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

  // Each character above 0x7F is followed by an ASCII one. Otherwise two such
  // characters could happen to form UTF-8 ("Ã¤" reads back as "ä"), which the
  // reader rightly prefers; that case has its own test.
  std::u16string Text() {
    std::u16string text;
    for (int i = Pick(12); i > 0; --i) {
      if (Pick(3) == 0) {
        text += high_[static_cast<std::size_t>(Pick(static_cast<int>(high_.size())))];
      }
      text += ascii_[static_cast<std::size_t>(Pick(static_cast<int>(ascii_.size())))];
    }
    return text;
  }

  std::mt19937 random_;
  std::u16string ascii_;
  std::u16string high_;
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
      EXPECT_EQ(static_cast<const TWBJSONstring*>(expected)->Value(),
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
        EXPECT_EQ(want->Name(), got->Name()) << at;
        ExpectSameTree(want->Value(), got->Value(), at);
        // The index of the read object finds the first member of each name.
        EXPECT_EQ(static_cast<const TWBJSON*>(actual)->IndexOfName(got->Name()),
                  static_cast<const TWBJSON*>(expected)->IndexOfName(want->Name()))
            << at;
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
    ExpectSameTree(tree.get(), TWBJSONText::Parse(GenerateIndented(tree.get())).get(),
                   "indented#" + std::to_string(i));
    if (HasFailure()) {
      ADD_FAILURE() << "text: " << compact;
      return;
    }
  }
}

}  // namespace
}  // namespace wb::test
