// TStringList and TStringListEx: name/value lines, case option, sorts.
#include <gtest/gtest.h>

#include "platform/errors.h"
#include "strings/strutils.h"

using wb::TStringList;
using wb::TStringListEx;

TEST(TStringList, SplitsAndJoinsLines) {
  TStringList list;
  list.SetText("a\r\nb\rc\nd");
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n");
  list.SetText("x\r\n\r\n");
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list[1], "");
  EXPECT_THROW(list.Get(2), wb::Exception);
}

TEST(TStringList, ReportsChangesOnceAfterAnUpdate) {
  TStringList list;
  int changes = 0;
  list.OnChange = [&] { ++changes; };
  list.Add("a");
  EXPECT_EQ(changes, 1);
  list.BeginUpdate();
  list.Add("b");
  list.Add("c");
  list.EndUpdate();
  EXPECT_EQ(changes, 2);
}

TEST(TStringListEx, FindsNamesWithOrWithoutCase) {
  TStringListEx list;
  list.Add("noseparator");
  list.Add("key=1");
  list.Add("Key=2");
  EXPECT_EQ(list.GetValueText("Key"), "1");
  list.MatchCase = true;
  EXPECT_EQ(list.GetValueText("Key"), "2");
  EXPECT_EQ(list.IndexOfNameText("noseparator"), -1);
  EXPECT_EQ(list.GetValueText("missing"), "");
  EXPECT_EQ(list.NamePart("a=b=c"), "a");
  EXPECT_EQ(list.NamePart("abc"), "");
  EXPECT_EQ(list.ValueTextAt(1), "1");
  EXPECT_EQ(list.ValueTextAt(-1), "");
}

TEST(TStringListEx, SetsAndDeletesValues) {
  TStringListEx list;
  list.Add("x=5");
  list.Add("y=1");
  list.SetValueText("x", "");
  EXPECT_EQ(list.Text(), "y=1\r\n");
  list.SetValueText("z", "");
  EXPECT_EQ(list.Count(), 1);
  list.SetValueText("x", "7");
  EXPECT_EQ(list.Text(), "y=1\r\nx=7\r\n");
  list.SetValueText("Y", "2");
  EXPECT_EQ(list.Text(), "Y=2\r\nx=7\r\n");
}

TEST(TStringListEx, AssignCopiesTheSeparatorButNotTheCaseOption) {
  TStringListEx source;
  source.SetValueSeparator(':');
  source.MatchCase = true;
  source.Add("a:1");
  TStringListEx copy;
  copy.Assign(source);
  EXPECT_EQ(copy.ValueSeparator(), ':');
  EXPECT_FALSE(copy.MatchCase);
  EXPECT_EQ(copy.GetValueText("A"), "1");
}

TEST(TStringListEx, SortWithTracksThePivot) {
  TStringListEx list;
  for (const char* line : {"d", "b", "e", "a", "c", "b", "a"}) list.Add(line);
  int changes = 0;
  list.OnChange = [&] { ++changes; };
  list.SortWith([](wb::TStringList& l, int i, int j) { return l[i].compare(l[j]); });
  EXPECT_EQ(list.Text(), "a\r\na\r\nb\r\nb\r\nc\r\nd\r\ne\r\n");
  EXPECT_EQ(changes, 1);

  // Many shuffled lines with duplicates end up ordered.
  TStringListEx big;
  for (int i = 0; i < 500; ++i) big.Add(std::to_string((i * 7919) % 97));
  big.SortWith([](wb::TStringList& l, int i, int j) { return std::stoi(l[i]) - std::stoi(l[j]); });
  for (int i = 1; i < big.Count(); ++i) EXPECT_LE(std::stoi(big[i - 1]), std::stoi(big[i]));

  TStringListEx sorted;
  sorted.Sorted = true;
  sorted.Add("b");
  sorted.Add("a");
  sorted.SortWith([](wb::TStringList&, int, int) { return 1; });
  EXPECT_EQ(sorted[0], "b");
}
