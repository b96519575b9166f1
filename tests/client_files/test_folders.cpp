// Client folder, temporary folder, shell folders and the local-service list.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "client/local_service_list.h"
#include "client/message_boxes.h"
#include "platform/pipes.h"
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

// A temporary path that users share (sticky and open to all, as /tmp): every
// user gets WBTempDir-<uid> there, so another user's WBTempDir neither blocks
// the start nor is shared; the sockets of the server and the program meet in
// it. The user's own temporary path keeps WBTempDir.
TEST(ClientFolders, ASharedTemporaryPathGetsAFolderPerUser) {
  test::TempEnv env;
  const std::string shared = env.Dir("shared");
  ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
  env.Set("TMPDIR", shared);
  const std::string foreign = shared + "WBTempDir";
  ASSERT_EQ(::mkdir(foreign.c_str(), 0700), 0);
  const bool otherUser = ::chown(foreign.c_str(), 4242, 4242) == 0;  // needs root, as in CI

  const std::string own = shared + "WBTempDir-" + std::to_string(::geteuid()) + "/";
  EXPECT_EQ(GetClientTempDir(""), own);
  EXPECT_EQ(GetClientTempDir("XCURSOR"), own + "XCURSOR/");
  struct stat st;
  ASSERT_EQ(::stat(own.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(st.st_uid, ::geteuid());
  std::string reason;
  auto listener = platform::CreatePipeListener(platform::LocalPipePath("WBK_TEST"), reason);
  ASSERT_TRUE(listener) << reason;
  EXPECT_EQ(::stat((own + "pipes/WBK_TEST").c_str(), &st), 0);
  if (otherUser) {
    ASSERT_EQ(::stat(foreign.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4242u);  // untouched
  }

  // Open to all but not sticky counts as shared too; the user's own folder does not.
  const std::string open = env.Dir("offen");
  ASSERT_EQ(::chmod(open.c_str(), 0777), 0);
  env.Set("TMPDIR", open);
  EXPECT_EQ(GetClientTempDir(""), open + "WBTempDir-" + std::to_string(::geteuid()) + "/");
  env.Set("TMPDIR", env.Tmp().string());
  EXPECT_EQ(GetClientTempDir(""), env.Tmp().string() + "/WBTempDir/");
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

// The halt's message is a message box like every other: the gui's presenter shows it.
TEST(ClientFolders, HaltTellsWhyThroughTheMessageBoxes) {
  class Presenter : public IMessagePresenter {
   public:
    MessageAnswer Present(const std::string& text, MessageButtons buttons, MessageIcon icon) override {
      std::fprintf(stderr, "Box %d/%d: %s\n", static_cast<int>(buttons), static_cast<int>(icon), text.c_str());
      return MessageAnswer::Ok;
    }
  };
  EXPECT_EXIT(
      {
        Presenter presenter;
        MessageBoxes::SetPresenter(&presenter);
        GetSpecialFolderOrHalt(0x4242);
      },
      ::testing::ExitedWithCode(1), "Box 0/0: Systemfehler:");
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
