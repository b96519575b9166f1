// The line store under the settings file: the key index must give the answers
// of a plain walk, counters and section starts must follow every edit.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "client/fast_ini_file.h"
#include "client/ini_hash.h"
#include "client/ini_items.h"
#include "platform/codepage.h"

namespace wb {
namespace {

std::string LargeSections(int sections, int keysPerSection) {
  std::string text;
  for (int s = 0; s < sections; ++s) {
    text += "[Sektion" + std::to_string(s) + "]\r\n";
    for (int k = 0; k < keysPerSection; ++k) {
      text += "Key" + std::to_string(k) + " = " + std::to_string(s * 100000 + k) + "\r\n";
      if (k % 97 == 0) text += "key" + std::to_string(k) + "=dup" + std::to_string(k) + "\r\n";
      if (k % 50 == 0) text += "; Kommentar\r\n\r\n";
    }
  }
  return text;
}

TEST(IniItemsTest, KeyIndexModeSwitchesOnForLargeSections) {
  TIniItems items;
  items.SetText(LargeSections(2, 260));
  EXPECT_TRUE(items.KeyIndexMode());
  items.SetText(LargeSections(4, 200));
  EXPECT_FALSE(items.KeyIndexMode());
  items.SetText("");
  EXPECT_FALSE(items.KeyIndexMode());
}

TEST(IniItemsTest, KeyIndexAnswersAsALinearWalkExceptDuplicatesGiveTheLast) {
  const std::string text = LargeSections(3, 400);
  TIniItems indexed, linear;
  indexed.SetText(text);
  linear.SetText(text);
  ASSERT_TRUE(indexed.KeyIndexMode());
  linear.SetKeyIndexMode(false);
  for (int s = 0; s < 4; ++s) {
    const std::string section = "SEKTION" + std::to_string(s);
    TSectionItem* a = indexed.FindSection(section, false);
    TSectionItem* b = linear.FindSection(section, false);
    ASSERT_EQ(a == nullptr, b == nullptr);
    if (!a) continue;
    for (int k = 0; k < 410; ++k) {
      const std::string key = "KEY" + std::to_string(k);
      const int32_t i = indexed.FindKey(*a, key);
      const int32_t j = linear.FindKey(*b, key);
      ASSERT_EQ(i < 0, j < 0) << key;
      if (i < 0) continue;
      if (k % 97 == 0) {
        EXPECT_EQ(indexed.Line(i).Value, "dup" + std::to_string(k));
        EXPECT_EQ(linear.Line(j).Value, std::to_string(s * 100000 + k));
      } else {
        EXPECT_EQ(i, j);
      }
    }
  }
}

// Random edits through both modes must keep both stores and a plain model in step.
TEST(IniItemsTest, EditsKeepTheIndexedAndTheLinearStoreAlike) {
  const std::string text = LargeSections(3, 300);
  TFastIniFile indexed(""), linear("");
  indexed.EnsureLoaded();  // a store without a file, filled by hand
  linear.EnsureLoaded();
  indexed.Items().SetText(text);
  linear.Items().SetText(text);
  ASSERT_TRUE(indexed.Items().KeyIndexMode());
  linear.Items().SetKeyIndexMode(false);
  std::mt19937 random(7);
  int found = 0;
  for (int step = 0; step < 3000; ++step) {
    const std::string section = "Sektion" + std::to_string(random() % 4);
    unsigned number = static_cast<unsigned>(random() % 320 + 1);
    if (number % 97 == 0) ++number;  // the duplicated keys answer differently by design
    const std::string key = "Key" + std::to_string(number);
    switch (random() % 4) {
      case 0: {
        const std::string value = std::to_string(random() % 1000);
        indexed.WriteSetting(section, key, value);
        linear.WriteSetting(section, key, value);
        break;
      }
      case 1:
        indexed.RemoveKey(section, key);
        linear.RemoveKey(section, key);
        break;
      default: {
        const std::string value = indexed.ReadSetting(section, key, "-");
        ASSERT_EQ(value, linear.ReadSetting(section, key, "-")) << section << " " << key << " at step " << step;
        found += value != "-";
      }
    }
  }
  EXPECT_GT(found, 500);
  EXPECT_EQ(indexed.Items().GetText(), linear.Items().GetText());
}

TEST(IniItemsTest, StatisticsCountLinesByKind) {
  TIniItems items;
  items.SetText("; c\r\n\r\n[A]\r\nX=1\r\ntext\r\n[B]\r\n;d\r\nY=2\r\n\r\n");
  const TStatistics& counts = items.Statistics();
  EXPECT_EQ(counts.BlankLines, 2);
  EXPECT_EQ(counts.CommentLines, 2);
  EXPECT_EQ(counts.OtherLines, 3);
  EXPECT_EQ(counts.SectionLines, 2);
  TSectionItem* b = items.FindSection("B", false);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(items.DeleteSection(*b), 4);  // ";d" lies between the header and the last key
  EXPECT_EQ(counts.BlankLines, 1);
  EXPECT_EQ(counts.CommentLines, 1);
  EXPECT_EQ(counts.OtherLines, 2);
  EXPECT_EQ(counts.SectionLines, 1);
  TSectionItem* a = items.FindSection("A", false);
  items.InsertKey(*a, "Neu");
  EXPECT_EQ(counts.OtherLines, 3);
}

TEST(IniItemsTest, SectionStartsFollowInsertionsAndDeletions) {
  TIniItems items;
  items.SetText("[A]\r\nX=1\r\n[B]\r\nY=2\r\n[C]\r\n");
  TSectionItem* a = items.FindSection("A", false);
  TSectionItem* b = items.FindSection("B", false);
  TSectionItem* c = items.FindSection("C", false);
  items.InsertKey(*a, "Z");
  EXPECT_EQ(a->FirstLine, 1);
  EXPECT_EQ(b->FirstLine, 4);
  EXPECT_EQ(c->FirstLine, 6);
  items.DeleteKey(*a, items.FindKey(*a, "X"));
  EXPECT_EQ(b->FirstLine, 3);
  EXPECT_EQ(items.LineText(b->FirstLine), "Y=2");
  EXPECT_EQ(c->FirstLine, 5);
  EXPECT_EQ(items.SectionEnd(*c), items.Count());
}

TEST(IniItemsTest, CapacityIsTheLineCountAfterLoadAndGrowsInSteps) {
  TIniItems items;
  items.SetText("[A]\r\nX=1\r\nY=2\r\n");
  EXPECT_EQ(items.Capacity(), 3);
  TSectionItem* a = items.FindSection("A", false);
  items.InsertKey(*a, "Z");
  EXPECT_EQ(items.Capacity(), 3 + 128);
}

TEST(IniItemsTest, ChangingTheCaseModeRehashesParsedNames) {
  TFastIniFile ini("");
  ini.EnsureLoaded();
  ini.Items().SetText("[Abc]\r\nKey=1\r\n");
  EXPECT_EQ(ini.ReadSetting("ABC", "KEY", "-"), "1");  // parsed under the default mode
  ini.SetCaseSensitive(true);
  EXPECT_EQ(ini.ReadSetting("ABC", "KEY", "-"), "-");
  EXPECT_EQ(ini.ReadSetting("Abc", "Key", "-"), "1");
  ini.SetCaseSensitive(false);
  EXPECT_EQ(ini.ReadSetting("aBC", "kEY", "-"), "1");
}

TEST(IniHashTest, HashesRotateByTwoAndAgreeWithTheirEquality) {
  EXPECT_EQ(IniHashExact("AB"), (0x41u << 2) ^ 0x42u);
  EXPECT_EQ(IniHashExact(""), 0u);
  // Seventeen characters: the first byte has rotated round the whole word.
  const std::string long17(17, 'A');
  uint32_t expected = 0;
  for (int i = 0; i < 17; ++i) expected = ((expected << 2) | (expected >> 30)) ^ 0x41u;
  EXPECT_EQ(IniHashExact(long17), expected);

  const std::string lower = Ansi(u8"größe"), upper = Ansi(u8"GRÖßE");
  EXPECT_EQ(IniHashSystemUpper(lower), IniHashSystemUpper(upper));
  EXPECT_TRUE(IniEqualSystemUpper(lower, upper));
  EXPECT_NE(IniHashAsciiUpper(lower), IniHashAsciiUpper(upper));
  EXPECT_FALSE(IniEqualAsciiUpper(lower, upper));
  EXPECT_EQ(IniHashAsciiUpper("setup"), IniHashExact("SETUP"));
  EXPECT_FALSE(IniEqualExact("a", "A"));
}

}  // namespace
}  // namespace wb
