// Path helpers in both styles and safe file names.
#include <gtest/gtest.h>

#include "client/client_dirs.h"
#include "client/file_helpers.h"

using namespace wb;
using platform::kPathStylePosix;
using platform::kPathStyleWindows;

TEST(AddTrailingBackslash, WindowsStyleKnowsDriveLetters) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {{"", ""},
                        {"C:", "C:"},
                        {"C:\\Daten", "C:\\Daten\\"},
                        {"C:\\", "C:\\"},
                        {"x", "x:\\"},
                        {"1", "1\\"},
                        {"ab", "ab\\"},
                        {"\\\\server\\share", "\\\\server\\share\\"}};
  for (const Case& c : cases) EXPECT_EQ(AddTrailingBackslash(c.in, kPathStyleWindows), c.out) << c.in;
}

TEST(AddTrailingBackslash, PosixStyleHasNoDriveRules) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {{"", ""}, {"/", "/"}, {"/home/u", "/home/u/"}, {"x", "x/"}, {"C:", "C:/"}};
  for (const Case& c : cases) EXPECT_EQ(AddTrailingBackslash(c.in, kPathStylePosix), c.out) << c.in;
}

TEST(RemoveTrailingBackslash, DropsOneDelimiter) {
  EXPECT_EQ(RemoveTrailingBackslash("C:\\a\\", kPathStyleWindows), "C:\\a");
  EXPECT_EQ(RemoveTrailingBackslash("C:\\a\\\\", kPathStyleWindows), "C:\\a\\");
  EXPECT_EQ(RemoveTrailingBackslash("/a/", kPathStylePosix), "/a");
  EXPECT_EQ(RemoveTrailingBackslash("/a\\", kPathStylePosix), "/a\\");
  EXPECT_EQ(RemoveTrailingBackslash("", kPathStylePosix), "");
}

TEST(ExtractFileParts, SplitFolderNameAndExtension) {
  EXPECT_EQ(ExtractFilePath("C:\\T\\x.ani", kPathStyleWindows), "C:\\T\\");
  EXPECT_EQ(ExtractFilePath("C:x.ani", kPathStyleWindows), "C:");
  EXPECT_EQ(ExtractFileName("C:\\T\\x.ani", kPathStyleWindows), "x.ani");
  EXPECT_EQ(ExtractFilePath("/t/x.ani", kPathStylePosix), "/t/");
  EXPECT_EQ(ExtractFileName("x.ani", kPathStylePosix), "x.ani");
  EXPECT_EQ(ExtractFileExt("/t/a.b/c", kPathStylePosix), "");
  EXPECT_EQ(ExtractFileExt("/t/c.tar.GZ", kPathStylePosix), ".GZ");
}

TEST(MakeSafeFileName, DropsWhatNoFileSystemTakes) {
  struct Case {
    std::string in;
    bool removeSpaces;
    std::string out;
  };
  const Case cases[] = {
      {"  Angebot 12/3: <Kunde>  ", false, "Angebot 123 Kunde"},
      {"\\?|><:/*\"  ", false, ""},
      {"a\tb", false, "ab"},
      {"a b", false, "a b"},
      {"a b", true, "ab"},
      {"a/b\\c", false, "abc"},
      {"Angebot 4711 A/17", false, "Angebot 4711 A17"},
      {"Gr\xFC\xDF"
       "e",
       false,
       "Gr\xFC\xDF"
       "e"},
      {" * x * ", false, "x"},
  };
  for (const Case& c : cases) EXPECT_EQ(MakeSafeFileName(c.in, c.removeSpaces), c.out) << c.in;
}

TEST(ForceDirs, HandlesEmptyAndShortPaths) {
  EXPECT_THROW(ForceDirs(""), EInOutError);
  try {
    ForceDirs("");
  } catch (const EInOutError& error) {
    EXPECT_STREQ(error.what(), "Verzeichnis kann nicht erstellt werden");
    EXPECT_EQ(error.ErrorCode, 3);
  }
  EXPECT_TRUE(ForceDirs("C:", kPathStyleWindows));
  EXPECT_TRUE(ForceDirs("/", kPathStylePosix));
}
