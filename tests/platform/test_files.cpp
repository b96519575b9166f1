// File services: Windows error codes and attributes on POSIX, dispositions.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/files.h"
#include "platform/folders.h"
#include "support/files.h"
#include "support/temp_env.h"

using namespace wb::platform;

namespace {
void Touch(const std::string& path, const std::string& content = "x") {
  ASSERT_TRUE(wb::test::WriteBytes(path, content)) << path;
}
}  // namespace

TEST(FileAttributes, DescribeFilesFoldersLinksAndHiddenNames) {
  wb::test::TempEnv env;
  std::string dir = env.Dir("a");
  Touch(dir + "file.txt");
  Touch(dir + ".hidden");
  ::mkdir((dir + "sub").c_str(), 0700);
  ::symlink((dir + "sub").c_str(), (dir + "link").c_str());

  EXPECT_EQ(GetFileAttributes(dir + "file.txt") & (kFileAttributeDirectory | kFileAttributeHidden), 0u);
  EXPECT_TRUE(GetFileAttributes(dir + ".hidden") & kFileAttributeHidden);
  EXPECT_TRUE(GetFileAttributes(dir + "sub") & kFileAttributeDirectory);
  uint32_t link = GetFileAttributes(dir + "link");
  EXPECT_TRUE(link & kFileAttributeReparsePoint);
  EXPECT_TRUE(link & kFileAttributeDirectory);

  EXPECT_EQ(GetFileAttributes(dir + "missing"), kInvalidFileAttributes);
  EXPECT_EQ(LastError(), kErrorFileNotFound);
  EXPECT_EQ(GetFileAttributes(dir + "nofolder/missing"), kInvalidFileAttributes);
  EXPECT_EQ(LastError(), kErrorPathNotFound);
}

TEST(FileAttributes, ReadOnlyIsTheOwnerWriteBit) {
  wb::test::TempEnv env;
  std::string file = env.Dir("a") + "ro.txt";
  Touch(file);
  ASSERT_TRUE(SetFileAttributes(file, kFileAttributeReadOnly));
  EXPECT_TRUE(GetFileAttributes(file) & kFileAttributeReadOnly);
  ASSERT_TRUE(SetFileAttributes(file, kFileAttributeNormal));
  EXPECT_FALSE(GetFileAttributes(file) & kFileAttributeReadOnly);
}

TEST(CreateFileHandle, HonoursDispositions) {
  wb::test::TempEnv env;
  std::string file = env.Dir("a") + "f.bin";
  EXPECT_EQ(CreateFile(file, kGenericRead, 0, kOpenExisting, 0), nullptr);
  EXPECT_EQ(LastError(), kErrorFileNotFound);

  auto created = CreateFile(file, kGenericRead | kGenericWrite, 0, kCreateNew, 0);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(created->Write("hello", 5), 5);
  created.reset();
  EXPECT_EQ(CreateFile(file, kGenericWrite, 0, kCreateNew, 0), nullptr);
  EXPECT_EQ(LastError(), kErrorFileExists);

  auto kept = CreateFile(file, kGenericRead | kGenericWrite, 0, kOpenAlways, 0);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(kept->Size(), 5);
  EXPECT_EQ(kept->Seek(2, SeekOrigin::Begin), 2);
  EXPECT_TRUE(kept->SetEndOfFile());
  EXPECT_EQ(kept->Size(), 2);
  kept.reset();

  auto truncated = CreateFile(file, kGenericWrite, 0, kCreateAlways, 0);
  ASSERT_NE(truncated, nullptr);
  EXPECT_EQ(truncated->Size(), 0);
  // A folder is not a file.
  EXPECT_EQ(CreateFile(env.Dir("a"), kGenericRead, 0, kOpenExisting, 0), nullptr);
  EXPECT_EQ(LastError(), kErrorAccessDenied);
}

TEST(Folders, TemporaryPathFollowsTheEnvironment) {
  wb::test::TempEnv env;
  EXPECT_EQ(GetTempPath(), env.Tmp().string() + "/");
  env.Set("TMPDIR", "");
  env.Set("XDG_CACHE_HOME", "/x/cache");
  EXPECT_EQ(GetTempPath(), "/x/cache/");
  env.Unset("XDG_CACHE_HOME");
  EXPECT_EQ(GetTempPath(), (env.Root() / "home" / ".cache").string() + "/");
}

TEST(Folders, DesktopComesFromUserDirs) {
  wb::test::TempEnv env;
  std::string path;
  ASSERT_TRUE(GetFolderPath(kCsidlDesktop, path));
  EXPECT_EQ(path, (env.Root() / "home" / "Desktop").string());
  std::string config = env.Dir("home/.config");
  Touch(config + "user-dirs.dirs", "# comment\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
  ASSERT_TRUE(GetSpecialFolderPath(kCsidlDesktop, path));
  EXPECT_EQ(path, (env.Root() / "home" / "Schreibtisch").string());
  ASSERT_TRUE(GetSpecialFolderLocationPath(kCsidlCommonDocuments, path));
  EXPECT_EQ(path, (env.Root() / "home" / ".local" / "share").string());
  EXPECT_FALSE(GetFolderPath(0x1234, path));
}

TEST(Folders, PrivateFolderRefusesForeignOrOpenFolders) {
  wb::test::TempEnv env;
  std::string reason;
  std::string dir = env.Tmp().string() + "/WBTempDir/";
  ASSERT_TRUE(EnsurePrivateFolder(dir, reason)) << reason;
  struct stat st;
  ASSERT_EQ(::stat(dir.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  ::chmod(dir.c_str(), 0777);
  EXPECT_FALSE(EnsurePrivateFolder(dir, reason));
  EXPECT_NE(reason.find("WBTempDir"), std::string::npos);

  std::string link = env.Tmp().string() + "/Linked";
  ::symlink("/tmp", link.c_str());
  EXPECT_FALSE(EnsurePrivateFolder(link, reason));
}
