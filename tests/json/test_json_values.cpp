// The value tree: typed reads with their defaults, setting by name, the name
// index, removal, member keys, typed reads by position, the kind table, the
// AA tree's balance, SortByField and the variant conversions.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "json_test_support.h"
#include "strings/strutils.h"

namespace wb::test {
namespace {

const char* kSample = R"({"s":"Text","n":2.5,"one":1,"seven":"7","half":1.5,"t":true,"f":false,
  "z":null,"l":[1],"o":{"POT":"x"},"Filter.POT":"rechnung","uid":"lower","UID":"upper","big":1E15})";

TEST(JsonValues, TypedReadsByNameWithDefaults) {
  auto object = ParseObject(kSample);
  ASSERT_NE(object, nullptr);
  for (const char* name : {"missing", "z", "l", "o"}) {
    EXPECT_EQ(object->StringByName(name), "") << name;
    EXPECT_EQ(object->IntegerByName(name), 0) << name;
    EXPECT_FALSE(object->BooleanByName(name)) << name;
  }
  const struct {
    const char* Name;
    int32_t Integer;
  } kIntegers[] = {{"one", 1}, {"seven", 7}, {"half", 0}, {"t", -1}, {"f", 0}, {"s", 0}, {"big", 0}};
  for (const auto& c : kIntegers) EXPECT_EQ(object->IntegerByName(c.Name), c.Integer) << c.Name;

  EXPECT_EQ(object->StringByName("t"), "-1");
  EXPECT_EQ(object->StringByName("f"), "0");
  EXPECT_EQ(object->StringByName("big"), "1E15");
  EXPECT_TRUE(object->BooleanByName("n"));
  EXPECT_TRUE(object->BooleanByName("one"));
  EXPECT_TRUE(object->BooleanByName("seven"));
  EXPECT_THROW(object->BooleanByName("s"), EConvertError);
  // A dot is part of the name; case matters.
  EXPECT_EQ(object->StringByName("Filter.POT"), "rechnung");
  EXPECT_EQ(object->MemberByName("o")->StringByName("POT"), "x");
  EXPECT_EQ(object->StringByName("uid"), "lower");
  EXPECT_EQ(object->StringByName("UID"), "upper");
  EXPECT_EQ(object->StringByName("Uid"), "");
  // Lists and scalars have no members by name.
  EXPECT_EQ(object->MemberByName("l")->MemberByName("0"), nullptr);
  EXPECT_EQ(object->MemberByName("s")->MemberByName("s"), nullptr);
}

TEST(JsonValues, NumbersAsTextFollowTheUserLocale) {
  auto object = ParseObject(R"({"n":2.5,"s":"1,5","i":"12"})");
  {
    DecimalSeparatorScope german(',');
    EXPECT_EQ(object->StringByName("n"), "2,5");
    EXPECT_TRUE(object->BooleanByName("s"));
    EXPECT_EQ(object->IntegerByName("n"), 0);
  }
  {
    DecimalSeparatorScope english('.');
    EXPECT_EQ(object->StringByName("n"), "2.5");
    EXPECT_THROW(object->BooleanByName("s"), EConvertError);
    EXPECT_EQ(object->IntegerByName("i"), 12);
  }
}

TEST(JsonValues, SettingByNameKeepsTheMemberClass) {
  DecimalSeparatorScope german(',');
  auto object = ParseObject(R"({"Copies":1,"Info":"x","Forbidden":false,"z":null,"l":[]})");
  object->SetStringByName("Copies", "3");
  EXPECT_EQ(object->ValueByName(u"Copies")->Kind(), js_Number);
  EXPECT_EQ(object->IntegerByName("Copies"), 3);
  EXPECT_THROW(object->SetStringByName("Copies", "abc"), EConvertError);
  EXPECT_EQ(object->IntegerByName("Copies"), 3);

  object->SetFloatByName("Info", 2.5);
  EXPECT_EQ(object->StringByName("Info"), "2,5");
  object->SetBooleanByName("Info", true);
  EXPECT_EQ(object->StringByName("Info"), "-1");
  object->SetCurrencyByName("Info", TCurrency{123456});
  EXPECT_EQ(object->StringByName("Info"), "12,3456");
  object->SetStringByName("Forbidden", "true");
  EXPECT_TRUE(object->BooleanByName("Forbidden"));
  object->SetIntegerByName("Forbidden", 0);
  EXPECT_EQ(object->ValueByName(u"Forbidden")->Kind(), js_Boolean);
  EXPECT_FALSE(object->BooleanByName("Forbidden"));

  const std::string before = TWBJSONText::Generate(object.get());
  object->SetIntegerByName("z", 5);
  object->SetIntegerByName("l", 5);
  EXPECT_EQ(TWBJSONText::Generate(object.get()), before);
}

TEST(JsonValues, SettingAMissingNameAppends) {
  TWBJSON object;
  object.SetStringByName("Copies", "3");
  object.SetStringByName("Empty", "");
  object.SetStringByName(A("Grüße"), A("Bücher"));
  object.SetIntegerByName("i", -7);
  object.SetFloatByName("f", 0.25);
  object.SetCurrencyByName("c", TCurrency{25000});
  object.SetBooleanByName("b", true);
  EXPECT_EQ(TWBJSONText::Generate(&object), R"({"Copies":"3","Empty":"",")" + A("Grüße") + R"(":")" + A("Bücher") +
                                                R"(","i":-7,"f":0.25,"c":2.5,"b":true})");
  EXPECT_EQ(object.NameAt(2), u"Grüße");
  // On lists and scalars the setters do nothing.
  TWBSONList list;
  list.SetStringByName("a", "b");
  EXPECT_EQ(list.ChildCount(), 0);
}

TEST(JsonValues, RepeatedNamesAndTheIndex) {
  for (const bool indexed : {true, false}) {
    TWBJSON object(indexed);
    EXPECT_EQ(object.AddMember(u"a", TWBCustomJSON::CreateNumber(1)), 0);
    EXPECT_EQ(object.AddMember(u"a", TWBCustomJSON::CreateNumber(2)), 1);
    EXPECT_EQ(object.AddMember(u"", TWBCustomJSON::CreateNumber(3)), 2);
    EXPECT_EQ(object.AddMember(u"nil", nullptr), -1);
    EXPECT_EQ(object.ChildCount(), 3);
    EXPECT_EQ(object.IndexOfName(u"a"), 0);
    EXPECT_EQ(object.IndexOfName(u"b"), -1);
    EXPECT_EQ(JSONAs<TWBJSONnumber>(object.ValueAt(1))->Value(), 1);
    EXPECT_EQ(object.ValueAt(2), nullptr);  // the empty name cannot be reached by position
    EXPECT_EQ(object.NameAt(7), u"");
    EXPECT_EQ(object.NameIndex().Empty(), !indexed);
  }
}

TEST(JsonValues, MembersAddedBeforeAndAfterTheFirstLookup) {
  auto object = ParseObject(R"({"a":1})");
  object->AddMember(u"a", TWBCustomJSON::CreateNumber(2));  // before any lookup
  object->AddMember(u"b", TWBCustomJSON::CreateNumber(3));
  EXPECT_EQ(object->IndexOfName(u"a"), 0);
  object->AddMember(u"c", TWBCustomJSON::CreateNumber(4));  // after it
  object->AddMember(u"b", TWBCustomJSON::CreateNumber(5));
  EXPECT_EQ(object->IndexOfName(u"b"), 2);
  EXPECT_EQ(object->IndexOfName(u"c"), 3);
  // A child that is no member pair has no name and is skipped by lookups.
  object->AppendChild(TWBCustomJSON::CreateNumber(6));
  EXPECT_EQ(object->NameAt(5), u"");
  EXPECT_EQ(object->ValueAt(5), nullptr);
  object->RemoveChildAt(0);
  EXPECT_EQ(object->IndexOfName(u"a"), 1);
}

TEST(JsonValues, RemoveChildAtMovesTheLastIntoTheGap) {
  auto list = JSONCast<TWBSONList>(ParseText(R"(["a","b","c"])"));
  list->RemoveChildAt(0);
  EXPECT_EQ(TWBJSONText::Generate(list.get()), R"(["c","b"])");
  list->RemoveChildAt(1);
  EXPECT_EQ(TWBJSONText::Generate(list.get()), R"(["c"])");
  list->RemoveChildAt(-1);
  list->RemoveChildAt(1);
  EXPECT_EQ(list->ChildCount(), 1);
}

TEST(JsonValues, RemovingAndReplacingObjectMembersKeepsTheIndexRight) {
  auto object = ParseObject(R"({"a":1,"b":2,"c":3,"b":4})");
  object->RemoveChildAt(0);  // the second "b" moves to position 0
  EXPECT_EQ(TWBJSONText::Generate(object.get()), R"({"b":4,"b":2,"c":3})");
  EXPECT_EQ(object->ValueByName(u"a"), nullptr);
  EXPECT_EQ(object->IndexOfName(u"b"), 0);
  EXPECT_EQ(object->IntegerByName("b"), 4);
  EXPECT_EQ(object->IndexOfName(u"c"), 2);

  object->ReplaceChildAt(2, std::make_unique<TWBJSONmember>(u"d", TWBCustomJSON::CreateNumber(5)));
  EXPECT_EQ(object->ValueByName(u"c"), nullptr);
  EXPECT_EQ(object->IntegerByName("d"), 5);
  object->ReplaceChildAt(9, std::make_unique<TWBJSONnull>());
  object->ReplaceChildAt(0, nullptr);
  EXPECT_EQ(object->ChildCount(), 3);
}

TEST(JsonValues, MemberKeys) {
  auto object = ParseObject(R"({"a":1,"b":2,"c":3})");
  EXPECT_EQ(object->Member(TWBVariant(0)), object->ChildAt(0));  // the member pair, not its value
  EXPECT_EQ(object->Member(TWBVariant(std::u16string(u"b"))), object->ValueByName(u"b"));
  EXPECT_EQ(object->Member(TWBVariant(std::string("b"))), object->ValueByName(u"b"));
  auto list = JSONCast<TWBSONList>(ParseText("[10,11,12,13]"));
  const struct {
    TWBVariant Key;
    int Expected;  // -1: nil
  } kKeys[] = {
      {TWBVariant(0.5), 0},
      {TWBVariant(1.5), 2},
      {TWBVariant(2.5), 2},
      {TWBVariant(2.6), 3},
      {TWBVariant(false), 0},
      {TWBVariant(true), -1},
      {TWBVariant(TCurrency{15000}), 2},
      {TWBVariant(std::string("1")), -1},
      {TWBVariant(), -1},
      {TWBVariant(1e300), -1},
  };
  for (const auto& c : kKeys) {
    EXPECT_EQ(list->Member(c.Key), c.Expected < 0 ? nullptr : list->ChildAt(c.Expected)) << c.Key.index();
  }
}

TEST(JsonValues, TypedReadsByPosition) {
  auto list = JSONCast<TWBSONList>(ParseText(R"([2.9,-2.9,"s",true,3E9])"));
  EXPECT_EQ(list->IntegerAt(0), 2);
  EXPECT_EQ(list->IntegerAt(1), -2);
  EXPECT_EQ(list->IntegerAt(9), 0);
  EXPECT_EQ(list->StringAt(9), "");
  EXPECT_EQ(list->FloatAt(0), 2.9);
  EXPECT_EQ(list->StringAt(2), "s");
  EXPECT_TRUE(list->BooleanAt(3));
  EXPECT_THROW(list->IntegerAt(2), EInvalidCast);
  EXPECT_THROW(list->StringAt(0), EInvalidCast);
  EXPECT_THROW(list->BooleanAt(0), EInvalidCast);
  EXPECT_THROW(list->IntegerAt(4), EConvertError);  // beyond 32 bits
  std::string name;
  EXPECT_EQ(list->NameAndChildAt(2, name), list->ChildAt(2));
  EXPECT_EQ(name, "2");
  EXPECT_EQ(list->IndexOfChild(list->ChildAt(3)), 3);
  EXPECT_EQ(list->IndexOfChild(nullptr), -1);
  EXPECT_EQ(list->AppendChild(nullptr), -1);

  auto object = ParseObject(R"({"n":7,)"
                            "\"\xE4\""
                            R"(:"s"})");
  EXPECT_EQ(object->IntegerAt(0), 7);
  EXPECT_EQ(object->StringAt(1), "s");
  EXPECT_EQ(object->NameAndChildAt(1, name), object->ValueAt(1));
  EXPECT_EQ(name, A("ä"));
}

TEST(JsonValues, KindTable) {
  const TWBJSONmember member;
  const TWBJSONnumber number;
  const TWBJSONstring text;
  const TWBJSONboolean boolean;
  const TWBJSONnull null;
  const TWBSONList list;
  const TWBJSON object;
  const struct {
    const TWBCustomJSON* Value;
    TWBJSONKind Kind;
    const char* Name;
  } kKinds[] = {{&member, js_Base, "js_Base"},    {&number, js_Number, "js_Number"},
                {&text, js_String, "js_String"},  {&boolean, js_Boolean, "js_Boolean"},
                {&null, js_Null, "js_Null"},      {&list, js_List, "js_List"},
                {&object, js_Object, "js_Object"}};
  for (const auto& k : kKinds) {
    EXPECT_EQ(k.Value->Kind(), k.Kind);
    EXPECT_EQ(k.Value->KindName(), k.Name);
  }
  EXPECT_EQ(TWBJSON::ClassKind(), js_Object);
  EXPECT_STREQ(TWBSONList::ClassKindName(), "js_List");
  EXPECT_TRUE(VariantIsNull(null.ReadValue()));
  EXPECT_TRUE(VariantIsNull(object.ReadValue()));
}

// Every AA-tree rule, checked over the whole tree.
int CheckAATree(const TWBBalNode* node, std::u16string_view low, std::u16string_view high, bool hasLow, bool hasHigh) {
  if (node == nullptr) return 0;
  const std::u16string_view name(node->Name);
  EXPECT_TRUE(!hasLow || low < name);
  EXPECT_TRUE(!hasHigh || name < high);
  const int left = node->Left ? node->Left->Level : 0;
  const int right = node->Right ? node->Right->Level : 0;
  EXPECT_EQ(left, node->Level - 1);
  EXPECT_TRUE(right == node->Level || right == node->Level - 1);
  if (node->Right && node->Right->Right) {
    EXPECT_LT(node->Right->Right->Level, node->Level);
  }
  if (node->Level > 1) {
    EXPECT_TRUE(node->Left && node->Right);
  }
  return 1 + CheckAATree(node->Left.get(), low, name, hasLow, true) +
         CheckAATree(node->Right.get(), name, high, true, hasHigh);
}

TEST(JsonBalTree, StaysBalancedAndFindsEveryName) {
  std::mt19937 random(7);
  TWBBalTree tree;
  std::vector<std::u16string> names;
  names.reserve(3000);  // the tree refers to the names: they must not move
  for (int i = 0; i < 3000; ++i) {
    std::u16string name;
    const int length = static_cast<int>(random() % 6);
    for (int k = 0; k < length; ++k) name += static_cast<char16_t>(u'a' + random() % 4 + (random() % 2) * 0xE0);
    const bool fresh = std::find(names.begin(), names.end(), name) == names.end();
    if (fresh) names.push_back(name);
    EXPECT_EQ(tree.Insert(fresh ? names.back() : name, i), fresh);
  }
  EXPECT_EQ(CheckAATree(tree.Root.get(), u"", u"", false, false), static_cast<int>(names.size()));
  for (const auto& name : names) EXPECT_GE(tree.Find(name), 0);
  EXPECT_EQ(tree.Find(u"zzzzzzz"), -1);
  // Ascending inserts are the worst case for an unbalanced tree.
  TWBBalTree sorted;
  std::vector<std::u16string> ascending;
  for (int i = 0; i < 1000; ++i) ascending.emplace_back(1, static_cast<char16_t>(0x100 + i));
  for (int i = 0; i < 1000; ++i) sorted.Insert(ascending[static_cast<std::size_t>(i)], i);
  EXPECT_LE(sorted.Root->Level, 11);
  EXPECT_EQ(sorted.Find(std::u16string(1, char16_t{0x100 + 999})), 999);
  sorted.Clear();
  EXPECT_EQ(sorted.Find(std::u16string(1, char16_t{0x100})), -1);
}

std::vector<std::string> Infos(const TWBSONList& list) {
  std::vector<std::string> infos;
  for (int i = 0; i < list.ChildCount(); ++i) infos.push_back(list.ChildAt(i)->StringByName("Info"));
  return infos;
}

TEST(JsonSort, ByFieldWithMarkupStripped) {
  auto list = JSONCast<TWBSONList>(
      ParseText(R"([{"Info":"<b>Zebra</b>"},{"Info":"apfel"},{"Info":"Birne"},{"Info":"<i>Apfel</i>"},{}])"));
  TWBSONList::SortByField(list.get(), "Info", nullptr, true);
  const auto infos = Infos(*list);
  ASSERT_EQ(infos.size(), 5u);
  EXPECT_EQ(infos[0], "");  // no "Info" sorts as empty text
  EXPECT_EQ(infos[3], "Birne");
  EXPECT_EQ(infos[4], "<b>Zebra</b>");
}

// Entries with equal names (compared as plain text, without regard to case)
// come out in the order this quicksort leaves them, which is not the order they
// came in. It decides the bytes of every saved entries file, so it is pinned.
TEST(JsonSort, EqualKeysKeepTheQuicksortsOrder) {
  auto list = JSONCast<TWBSONList>(
      ParseText(R"([{"Info":"b","n":1},{"Info":"a","n":2},{"Info":"<b>B</b>","n":3},{"Info":"a","n":4},)"
                R"({"Info":"B","n":5},{"Info":"A","n":6},{"Info":"b","n":7},{"Info":"a","n":8}])"));
  TWBSONList::SortByField(list.get(), "Info", nullptr, true);
  std::vector<int> order;
  for (int i = 0; i < list->ChildCount(); ++i) order.push_back(list->ChildAt(i)->IntegerByName("n"));
  EXPECT_EQ(order, (std::vector<int>{4, 6, 8, 2, 7, 1, 5, 3}));
}

TEST(JsonSort, TheFirstChildMustHaveTheField) {
  auto list = JSONCast<TWBSONList>(ParseText(R"([{"x":1},{"Info":"b"},{"Info":"a"}])"));
  const std::string before = TWBJSONText::Generate(list.get());
  try {
    TWBSONList::SortByField(list.get(), "Info", nullptr, true);
    FAIL() << "no error";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "Info not found in Items");
  }
  EXPECT_EQ(TWBJSONText::Generate(list.get()), before);
  TWBSONList empty;
  EXPECT_NO_THROW(TWBSONList::SortByField(&empty, "Info", nullptr, true));
  EXPECT_EQ(empty.ChildCount(), 0);
}

TEST(JsonSort, LargeListsWithTheCallersComparison) {
  std::mt19937 random(11);
  TWBSONList list;
  for (int i = 0; i < 2000; ++i) {
    auto entry = std::make_unique<TWBJSON>();
    entry->SetIntegerByName("n", static_cast<int32_t>(random() % 500));
    list.Add(std::move(entry));
  }
  const auto descending = [](TWBCustomJSON* a, TWBCustomJSON* b) {
    return b->IntegerByName("n") - a->IntegerByName("n");
  };
  TWBSONList::SortByField(&list, "n", descending, false);
  ASSERT_EQ(list.ChildCount(), 2000);
  for (int i = 1; i < list.ChildCount(); ++i) {
    ASSERT_GE(list.ChildAt(i - 1)->IntegerByName("n"), list.ChildAt(i)->IntegerByName("n"));
  }
  // A comparison that contradicts itself must not run the sort out of the list.
  TWBSONList::SortByField(
      &list, "n", [](TWBCustomJSON*, TWBCustomJSON*) { return -1; }, false);
  TWBSONList::SortByField(
      &list, "n", [](TWBCustomJSON*, TWBCustomJSON*) { return 1; }, false);
  EXPECT_EQ(list.ChildCount(), 2000);
}

TEST(JsonVariant, Conversions) {
  double number = 0;
  const struct {
    const char* Text;
    char Separator;
    bool Readable;
    double Value;
  } kNumbers[] = {{"2,5", ',', true, 2.5},  {" -3 ", ',', true, -3},   {",5", ',', true, 0.5},
                  {"1E3", ',', true, 1000}, {"2.5", ',', false, 0},    {"", '.', false, 0},
                  {"-", '.', false, 0},     {"1e", '.', false, 0},     {"1e400", '.', false, 0},
                  {"12abc", '.', false, 0}, {"+7.25", '.', true, 7.25}};
  for (const auto& c : kNumbers) {
    EXPECT_EQ(TryLocaleTextToDouble(c.Text, c.Separator, number), c.Readable) << c.Text;
    if (c.Readable) {
      EXPECT_EQ(number, c.Value) << c.Text;
    }
  }
  int32_t integer = 0;
  for (const char* text : {"", "+", "-", "1.0", "2147483648", "12 ", "+-1", "0x10"}) {
    EXPECT_FALSE(TryTextToInt32(text, integer)) << text;
  }
  EXPECT_TRUE(TryTextToInt32(" -2147483648", integer));
  EXPECT_EQ(integer, INT32_MIN);
  bool flag = false;
  EXPECT_TRUE(TryTextToBoolean("TRUE", '.', flag) && flag);
  EXPECT_TRUE(TryTextToBoolean("falsch", '.', flag) && !flag);
  EXPECT_TRUE(TryTextToBoolean("0", '.', flag) && !flag);
  EXPECT_FALSE(TryTextToBoolean("ja", '.', flag));
  EXPECT_EQ(CurrencyToText(TCurrency{-15000}, ','), "-1,5");
  EXPECT_EQ(CurrencyToText(TCurrency{INT64_MIN}, '.'), "-922337203685477.5808");
  EXPECT_THROW(VariantToDouble(TWBVariant()), EConvertError);
  EXPECT_EQ(VariantToAnsi(TWBVariant()), "");
  EXPECT_EQ(VariantToWide(TWBVariant(std::string("\xE4"))), u"ä");
}

}  // namespace
}  // namespace wb::test
