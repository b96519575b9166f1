// Memory and file streams; TBetterFileStream's attribute handling.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "client/streams.h"
#include "support/temp_env.h"

using namespace wb;
using platform::SeekOrigin;

TEST(TMemoryStream, ReadsWritesSeeksAndResizes) {
  TMemoryStream stream;
  stream.WriteBuffer("hello world", 11);
  EXPECT_EQ(stream.Size(), 11);
  stream.SetPosition(6);
  char buffer[16] = {};
  EXPECT_EQ(stream.Read(buffer, 16), 5);
  EXPECT_STREQ(buffer, "world");
  EXPECT_EQ(stream.Read(buffer, 1), 0);
  stream.Seek(-5, SeekOrigin::End);
  stream.WriteBuffer("WORLD!", 6);
  EXPECT_EQ(stream.Size(), 12);
  stream.SetPosition(0);
  EXPECT_EQ(stream.ReadRest(), "hello WORLD!");
  stream.SetSize(5);
  EXPECT_EQ(stream.Position(), 5);
  stream.SetPosition(0);
  EXPECT_EQ(stream.ReadRest(), "hello");
  EXPECT_THROW(stream.ReadBuffer(buffer, 1), EInOutError);
}

// A stream whose size promises more bytes than it gives, as a file does whose
// read fails part-way.
class ShortReadStream : public TMemoryStream {
 public:
  int64_t Size() override { return TMemoryStream::Size() + 100; }
};

TEST(TStream, ReadRestWholeRefusesAPartOfTheBytes) {
  TMemoryStream whole;
  whole.WriteBuffer("[Setup]\r\nItemIndex=3\r\n", 22);
  whole.SetPosition(9);
  EXPECT_EQ(whole.ReadRestWhole("Lesefehler"), "ItemIndex=3\r\n");
  EXPECT_EQ(whole.ReadRestWhole("Lesefehler"), "");  // at the end: nothing, and no error

  ShortReadStream cut;
  cut.WriteBuffer("[Setup]\r\n", 9);
  cut.SetPosition(0);
  try {
    cut.ReadRestWhole("Datei x kann nicht gelesen werden");
    FAIL() << "no error";
  } catch (const EInOutError& error) {
    EXPECT_STREQ(error.what(), "Datei x kann nicht gelesen werden");
  }
}

TEST(TBetterFileStream, ModesKeepOrDiscardContent) {
  test::TempEnv env;
  std::string file = env.Dir("b") + "f.txt";
  std::ofstream(file) << "abc";
  {
    TBetterFileStream keep(file, 0, true);
    EXPECT_EQ(keep.Size(), 3);
  }
  {
    TBetterFileStream fresh(file, 1, true);
    EXPECT_EQ(fresh.Size(), 0);
  }
}

TEST(TBetterFileStream, RestoresReadOnlyAfterTheRewrite) {
  test::TempEnv env;
  std::string file = env.Dir("b") + "ro.txt";
  std::ofstream(file) << "abc";
  ::chmod(file.c_str(), 0444);
  {
    TBetterFileStream stream(file, 1, true);
    EXPECT_FALSE(platform::GetFileAttributes(file) & platform::kFileAttributeReadOnly);
    stream.WriteBuffer("xy", 2);
  }
  EXPECT_TRUE(platform::GetFileAttributes(file) & platform::kFileAttributeReadOnly);
}

TEST(TFileStream, NamesTheFileInItsErrors) {
  test::TempEnv env;
  std::string missing = env.Dir("b") + "nix.txt";
  try {
    TFileStream stream(missing, fmOpenRead);
    FAIL();
  } catch (const EFOpenError& error) {
    EXPECT_EQ(std::string(error.what()), "Datei " + missing +
                                             " kann nicht ge\xF6"
                                             "ffnet werden");
  }
  EXPECT_THROW(TFileStream(env.Dir("b") + "no/such/dir/x", fmCreate), EFCreateError);
}
