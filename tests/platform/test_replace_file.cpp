// The crash-safe writer: the content arrives whole, the old file's rights stay,
// and a failure at any step leaves the folder exactly as it was.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <set>

#include "platform/files.h"
#include "support/bytes_equal.h"
#include "support/files.h"
#include "support/temp_env.h"

using namespace wb::platform;
using wb::test::ReadBytes;
using wb::test::WriteBytes;

namespace {

std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& item : std::filesystem::directory_iterator(folder)) names.insert(item.path().filename().string());
  return names;
}

TEST(ReplaceFileContents, WritesANewFileAndReplacesAnOldOneWhole) {
  wb::test::TempEnv env;
  const std::string folder = env.Dir("w");
  ASSERT_TRUE(ReplaceFileContents(folder + "neu.txt", std::string(100000, 'a') + "\r\n")) << LastError();
  EXPECT_BYTES_EQ(ReadBytes(folder + "neu.txt"), std::string(100000, 'a') + "\r\n");
  ASSERT_TRUE(ReplaceFileContents(folder + "neu.txt", "kurz"));
  EXPECT_BYTES_EQ(ReadBytes(folder + "neu.txt"), "kurz");
  ASSERT_TRUE(ReplaceFileContents(folder + "leer.txt", ""));
  EXPECT_BYTES_EQ(ReadBytes(folder + "leer.txt"), "");
  EXPECT_EQ(Names(folder), (std::set<std::string>{"leer.txt", "neu.txt"}));
}

TEST(ReplaceFileContents, KeepsTheOldFilesReadOnlyAndHiddenFlags) {
  wb::test::TempEnv env;
  const std::string folder = env.Dir("f");
  const std::string file = folder + ".versteckt.txt";
  ASSERT_TRUE(WriteBytes(file, "alt"));
  ASSERT_TRUE(SetFileAttributes(file, kFileAttributeReadOnly | kFileAttributeHidden));
  ASSERT_TRUE(ReplaceFileContents(file, "neu")) << LastError();
  EXPECT_BYTES_EQ(ReadBytes(file), "neu");
  const uint32_t attributes = GetFileAttributes(file);
  EXPECT_TRUE(attributes & kFileAttributeReadOnly);
  EXPECT_TRUE(attributes & kFileAttributeHidden);
  EXPECT_EQ(Names(folder), std::set<std::string>{".versteckt.txt"});
  SetFileAttributes(file, kFileAttributeNormal);
}

#ifndef _WIN32
TEST(ReplaceFileContents, CarriesPermissionBitsOrMakesTheFileExecutable) {
  wb::test::TempEnv env;
  const std::string file = env.Dir("p") + "liste.txt";
  ASSERT_TRUE(WriteBytes(file, "alt"));
  ::chmod(file.c_str(), 0640);
  ASSERT_TRUE(ReplaceFileContents(file, "neu"));
  struct stat st {};
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  const std::string launcher = env.Dir("p") + "start.desktop";
  ASSERT_TRUE(ReplaceFileContents(launcher, "[Desktop Entry]\n", FileRights::Executable));
  ASSERT_EQ(::stat(launcher.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0755u);
}
#endif

// Each failure is reported with the system's reason and leaves the folder as it
// was: no half-written target, no temporary file beside it.
TEST(ReplaceFileContents, AFailureLeavesTheFolderAsItWas) {
  wb::test::TempEnv env;
  const std::string folder = env.Dir("x");
  ASSERT_TRUE(WriteBytes(folder + "datei", "bleibt"));
  std::filesystem::create_directories(folder + "ordner/inhalt");
  struct Case {
    std::string target;
    uint32_t error;
  };
  const Case cases[] = {
      {folder + "fehlt" + static_cast<char>(std::filesystem::path::preferred_separator) + "a.txt", kErrorPathNotFound},
      {folder + "datei" + static_cast<char>(std::filesystem::path::preferred_separator) + "a.txt", kErrorPathNotFound},
      // Written completely before the rename finds a folder in the target's place.
      {folder + "ordner", kErrorAccessDenied},
#ifndef _WIN32
      {folder + std::string(300, 'n') + ".txt", kErrorFilenameExcedRange},
#endif
  };
  const auto before = Names(folder);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target.substr(folder.size()));
    SetLastError(kErrorSuccess);
    EXPECT_FALSE(ReplaceFileContents(c.target, std::string(5000, 'x')));
    EXPECT_EQ(LastError(), c.error);
    EXPECT_EQ(Names(folder), before);
  }
  EXPECT_BYTES_EQ(ReadBytes(folder + "datei"), "bleibt");
  EXPECT_EQ(Names(folder + "ordner"), std::set<std::string>{"inhalt"});
}

}  // namespace
