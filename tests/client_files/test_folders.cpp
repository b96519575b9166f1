// Client folder, temporary folder, shell folders and the local-service list.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "client/local_service_list.h"
#include "support/temp_env.h"

using namespace wb;

TEST(ClientFolders, TemporaryFolderIsCreatedPrivateWithAndWithoutSubFolder) {
  test::TempEnv env;
  std::string base = env.Tmp().string() + "/WBTempDir/";
  EXPECT_EQ(GetClientTempDir(""), base);
  EXPECT_EQ(GetClientTempDir("XCURSOR"), base + "XCURSOR/");
  EXPECT_TRUE(DirExistsEx(base + "XCURSOR"));
  struct stat st;
  ASSERT_EQ(::stat(base.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(ClientFolders, AnOpenTemporaryFolderIsRefused) {
  test::TempEnv env;
  std::string base = env.Tmp().string() + "/WBTempDir";
  ::mkdir(base.c_str(), 0777);
  ::chmod(base.c_str(), 0777);
  EXPECT_THROW(GetClientTempDir(""), EInOutError);
}

TEST(ClientFolders, ClientRootLiesInPublicDocuments) {
  test::TempEnv env;
  std::string expected = (env.Root() / "home" / ".local" / "share").string() + "/WB-ClientRoot/default/";
  EXPECT_EQ(GetClientRootDir(), expected);
  EXPECT_TRUE(DirExistsEx(expected));
  EXPECT_EQ(GetShellFolder(platform::kCsidlDesktop), (env.Root() / "home" / "Desktop").string() + "/");
  EXPECT_EQ(GetShellFolder(0x4242), "");
}

TEST(ClientFolders, HaltEndsTheProcessWithAFailureCode) {
  EXPECT_EXIT(GetSpecialFolderOrHalt(0x4242), ::testing::ExitedWithCode(1), "Systemfehler:");
}

TEST(LocalServiceList, ReadsLinesAndTheDefaultServer) {
  test::TempEnv env;
  TStringList lines;
  lines.Add("stale");
  EXPECT_EQ(ReadLocalServiceList(&lines), "");
  EXPECT_EQ(lines.Count(), 0);
  EXPECT_EQ(ReadLocalServiceList(nullptr), "");

  std::ofstream(GetClientTempDir("") + "WBK-EXCHANGELOCALSERVICE.TXT") << "WBK_A\r\nWBK_B\r\n";
  EXPECT_EQ(ReadLocalServiceList(&lines), "WBK_A");
  EXPECT_EQ(lines.Text(), "WBK_A\r\nWBK_B\r\n");
}

TEST(Existence, FilesAndFoldersAreToldApart) {
  test::TempEnv env;
  std::string dir = env.Dir("e");
  std::ofstream(dir + "f.txt") << "x";
  ::mkdir((dir + "sub").c_str(), 0700);
  ::symlink((dir + "sub").c_str(), (dir + "goodlink").c_str());
  ::symlink((dir + "gone").c_str(), (dir + "deadlink").c_str());
  EXPECT_TRUE(FileExistsEx(dir + "f.txt"));
  EXPECT_FALSE(FileExistsEx(dir + "sub"));
  EXPECT_FALSE(FileExistsEx(dir + "missing"));
  EXPECT_FALSE(FileExistsEx(dir + "nofolder/missing"));
  EXPECT_TRUE(DirExistsEx(dir + "sub"));
  EXPECT_FALSE(DirExistsEx(dir + "f.txt"));
  EXPECT_TRUE(DirExistsEx(dir + "goodlink"));
  EXPECT_FALSE(DirExistsEx(dir + "deadlink"));
  EXPECT_FALSE(DirExistsEx(dir + "missing"));
}

TEST(ForceDirs, CreatesEveryMissingParent) {
  test::TempEnv env;
  std::string deep = env.Dir("f") + "a/b/c/";
  EXPECT_TRUE(ForceDirs(deep));
  EXPECT_TRUE(DirExistsEx(deep));
  EXPECT_TRUE(ForceDirs(deep));  // nothing to do
  std::ofstream(env.Dir("f") + "file") << "x";
  EXPECT_FALSE(ForceDirs(env.Dir("f") + "file/sub"));  // a file is in the way
  ForceFileDir(env.Dir("g") + "x/y/z.txt");
  EXPECT_TRUE(DirExistsEx(env.Dir("g") + "x/y"));
}
