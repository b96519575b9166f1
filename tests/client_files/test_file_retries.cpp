// The retrying file operations: success after transient failures, the error
// after the last attempt, attributes restored, alternative names.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "client/file_helpers.h"
#include "support/bytes_equal.h"
#include "support/files.h"
#include "support/simulated_time.h"
#include "support/temp_env.h"

using namespace wb;
using wb::test::ReadBytes;

namespace {

struct RetryPause {
  explicit RetryPause(int ms) { SetRetryPauseMsForTesting(ms); }
  ~RetryPause() { SetRetryPauseMsForTesting(-1); }
};

}  // namespace

TEST(SaveListRetry, WritesLinesWithCrLfAndLoadsThemBack) {
  test::TempEnv env;
  std::string file = env.Dir("s") + "new/folder/list.txt";
  TStringList lines;
  lines.SetText("eins\nzwei\n\ndrei");
  SaveListRetry(lines, file);
  EXPECT_BYTES_EQ(ReadBytes(file), "eins\r\nzwei\r\n\r\ndrei\r\n");
  TStringList back;
  LoadListRetry(back, file);
  EXPECT_EQ(back.Text(), lines.Text());
}

TEST(SaveListRetry, KeepsReadOnlyAndPermissionBits) {
  test::TempEnv env;
  std::string file = env.Dir("s") + ".versteckt.txt";
  std::ofstream(file) << "alt";
  ::chmod(file.c_str(), 0444);
  TStringList lines;
  lines.Add("neu");
  SaveListRetry(lines, file);
  EXPECT_BYTES_EQ(ReadBytes(file), "neu\r\n");
  struct stat st;
  ASSERT_EQ(::stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0444u);
  EXPECT_TRUE(platform::GetFileAttributes(file) & platform::kFileAttributeHidden);
  // Nothing but the target remains in the folder.
  int entries = 0;
  for (auto& entry : std::filesystem::directory_iterator(env.Dir("s"))) entries += entry.exists();
  EXPECT_EQ(entries, 1);
}

TEST(SaveListRetry, SucceedsOnceTheObstacleGoesAway) {
  test::TempEnv env;
  RetryPause pause(20);
  std::string blocker = env.Dir("r") + "blocker";
  std::ofstream(blocker) << "a file where a folder must go";
  std::thread remover([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::filesystem::remove(blocker);
  });
  TStringList lines;
  lines.Add("da");
  EXPECT_NO_THROW(SaveListRetry(lines, blocker + "/x.txt"));
  remover.join();
  EXPECT_BYTES_EQ(ReadBytes(blocker + "/x.txt"), "da\r\n");
}

TEST(SaveListRetry, RaisesTheLastErrorAfterTheLastAttempt) {
  test::TempEnv env;
  RetryPause pause(0);
  std::string blocker = env.Dir("r") + "blocker";
  std::ofstream(blocker) << "x";
  TStringList lines;
  lines.Add("x");
  try {
    SaveListRetry(lines, blocker + "/x.txt");
    FAIL() << "no error";
  } catch (const EFCreateError& error) {
    EXPECT_NE(std::string(error.what()).find("kann nicht erstellt werden"), std::string::npos);
  }
  EXPECT_BYTES_EQ(ReadBytes(blocker), "x");
}

TEST(LoadListRetry, MissingFileLeavesTheList) {
  test::TempEnv env;
  TStringList lines;
  lines.Add("bleibt");
  LoadListRetry(lines, env.Dir("l") + "missing.txt");
  EXPECT_EQ(lines.Text(), "bleibt\r\n");
}

TEST(SaveResourceRetry, TakesAnAlternativeNameWhenTheFirstIsTaken) {
  test::TempEnv env;
  RetryPause pause(0);
  std::string dir = env.Dir("c");
  std::filesystem::create_directory(dir + "x.ani");  // cannot be written as a file
  std::string actual;
  SaveResourceRetry("RIFF", dir + "x.ani", actual);
  EXPECT_EQ(actual, dir + "[1]x.ani");
  EXPECT_BYTES_EQ(ReadBytes(actual), "RIFF");
}

TEST(OpenFileStreamRetry, CreatesFoldersAndReportsOpenErrors) {
  test::TempEnv env;
  RetryPause pause(0);
  std::unique_ptr<TFileStream> stream;
  OpenFileStreamRetry(env.Dir("o") + "a/b/c.json", stream, fmCreate);
  ASSERT_TRUE(stream);
  stream->WriteBuffer("{}", 2);
  stream.reset();
  OpenFileStreamRetry(env.Dir("o") + "a/b/c.json", stream, fmOpenRead | fmShareDenyNone);
  EXPECT_EQ(stream->ReadRest(), "{}");
  EXPECT_THROW(OpenFileStreamRetry(env.Dir("o") + "missing.json", stream, fmOpenRead), EFOpenError);
}

TEST(DeleteFiles, GoneOrNeverThereIsSuccess) {
  test::TempEnv env;
  std::string file = env.Dir("d") + "f.pdf";
  std::ofstream(file) << "x";
  EXPECT_TRUE(DeleteFileIfExists(file));
  EXPECT_FALSE(FileExistsEx(file));
  EXPECT_TRUE(DeleteFileIfExists(file));
  std::ofstream(file) << "x";
  EXPECT_TRUE(DeleteFileRetry(file));
  EXPECT_TRUE(DeleteFileRetry(file));
}

#ifndef _WIN32
// A file that refuses to go (the proc file system refuses even the
// administrator): the attempts are spread over about two seconds, so a brief
// hold on a file ends before they are used up, and the run is not kept for
// the ten seconds of the error retries. (tests/win32 releases a real lock.)
TEST(DeleteFiles, DeleteFileRetrySpreadsItsAttemptsOverAboutTwoSeconds) {
  test::SimulatedTime time;
  ASSERT_TRUE(FileExistsEx("/proc/version"));
  EXPECT_FALSE(DeleteFileRetry("/proc/version"));
  EXPECT_GE(time.NowMs(), 1500);
  EXPECT_LE(time.NowMs(), 2000);
}
#endif

TEST(CopyFileRetry, CopiesEveryBlockIntoANewFolder) {
  test::TempEnv env;
  RetryPause pause(0);
  std::string source = env.Dir("k") + "src.bin";
  std::string content;
  for (int i = 0; i < 200000; ++i) content.push_back(static_cast<char>(i * 31));
  std::ofstream(source, std::ios::binary) << content;
  std::string dest = env.Dir("k") + "neu/ziel.bin";
  EXPECT_TRUE(CopyFileRetry(source, dest));
  EXPECT_BYTES_EQ(ReadBytes(dest), content);
  EXPECT_THROW(CopyFileRetry(env.Dir("k") + "missing", dest), EFOpenError);
  std::filesystem::create_directory(env.Dir("k") + "isfolder");
  EXPECT_FALSE(CopyFileRetry(source, env.Dir("k") + "isfolder"));
}
