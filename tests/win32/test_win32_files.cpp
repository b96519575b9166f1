// Files on Windows: attributes as the system keeps them, cleared for a rewrite
// and restored after it; share modes; dispositions; listings and their masks.
#include <gtest/gtest.h>

#include "client/fast_ini_file.h"
#include "client/file_helpers.h"
#include "client/streams.h"
#include "platform/files.h"
#include "platform/find_files.h"
#include "strings/string_list.h"
#include "support/bytes_equal.h"
#include "support/simulated_time.h"
#include "support/temp_env.h"
#include "win32/win32_test_support.h"

namespace wb {
namespace {

using namespace platform;

TEST(Win32Files, SaveListRetryRestoresReadOnlyAndHidden) {
  test::TempEnv env;
  const std::string dir = env.Dir("s");
  const std::string file = dir + "Sonderdruck.V1.LocalSetup.txt";
  test::WriteBytes(file, "alt\r\n");
  ASSERT_TRUE(::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));

  TStringList lines;
  lines.Add("[Setup]");
  lines.Add("OpenPDF=0");
  SaveListRetry(lines, file);

  EXPECT_BYTES_EQ(test::ReadBytes(file), "[Setup]\r\nOpenPDF=0\r\n");
  const DWORD attributes = ::GetFileAttributesA(file.c_str());
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
  // Nothing but the file remains: the temporary file went with the rename.
  int entries = 0;
  WIN32_FIND_DATAA found;
  HANDLE listing = ::FindFirstFileA((dir + "*").c_str(), &found);
  ASSERT_NE(listing, INVALID_HANDLE_VALUE);
  do entries += found.cFileName[0] != '.';
  while (::FindNextFileA(listing, &found));
  ::FindClose(listing);
  EXPECT_EQ(entries, 1);
}

// A range of the settings file that another process holds locked cannot be
// read: the read fails part-way. The settings object must raise and write
// nothing, instead of writing its values over the lines it could not read.
TEST(Win32Files, ASettingsFileWhoseReadFailsPartWayIsLeftAlone) {
  test::TempEnv env;
  const std::string file = env.Dir("s") + "Sonderdruck.V1.LocalSetup.txt";
  const std::string content =
      "[Setup]\r\nItemIndex=2\r\n;" + std::string(8190, '-') + "\r\n[Fenster]\r\nTitel=Gro\xDF\r\n";
  test::WriteBytes(file, content);
  HANDLE holder = ::CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  OVERLAPPED range{};
  range.Offset = 4096;
  ASSERT_TRUE(::LockFileEx(holder, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 4096, 0, &range));
  {
    // Whether this system refuses a read across another handle's lock at all.
    HANDLE probe = ::CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(probe, INVALID_HANDLE_VALUE);
    std::string bytes(content.size(), '\0');
    DWORD got = 0;
    const BOOL read = ::ReadFile(probe, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    ::CloseHandle(probe);
    if (read && got == bytes.size()) {
      ::UnlockFileEx(holder, 0, 4096, 0, &range);
      ::CloseHandle(holder);
      GTEST_SKIP() << "this system reads across another handle's lock";
    }
  }
  {
    TFastIniFile settings(file);
    EXPECT_THROW(settings.ReadNumber("Setup", "ItemIndex", 0), EInOutError);
    EXPECT_THROW(settings.WriteNumber("Setup", "ItemIndex", 3), EInOutError);
  }  // nothing is written at destruction
  ::UnlockFileEx(holder, 0, 4096, 0, &range);
  ::CloseHandle(holder);
  EXPECT_BYTES_EQ(test::ReadBytes(file), content);
}

TEST(Win32Files, TheBetterFileStreamClearsAndRestoresTheFlags) {
  test::TempEnv env;
  const std::string file = env.Dir("b") + "versteckt.bin";
  test::WriteBytes(file, "0123456789");
  ASSERT_TRUE(SetFileAttributes(file, kFileAttributeReadOnly | kFileAttributeHidden));
  {
    TBetterFileStream stream(file, 1, true);
    EXPECT_FALSE(GetFileAttributes(file) & (kFileAttributeReadOnly | kFileAttributeHidden));
    stream.WriteBuffer("neu", 3);
  }
  EXPECT_BYTES_EQ(test::ReadBytes(file), "neu");
  EXPECT_EQ(GetFileAttributes(file) & (kFileAttributeReadOnly | kFileAttributeHidden),
            kFileAttributeReadOnly | kFileAttributeHidden);
  ASSERT_TRUE(SetFileAttributes(file, 0));
  EXPECT_EQ(GetFileAttributes(file) & (kFileAttributeReadOnly | kFileAttributeHidden), 0u);
}

TEST(Win32Files, ShareModesAreEnforced) {
  test::TempEnv env;
  const std::string file = env.Dir("share") + "gesperrt.txt";
  test::WriteBytes(file, "x");
  {
    auto exclusive = CreateFile(file, kGenericRead | kGenericWrite, 0, kOpenExisting, kFileAttributeNormal);
    ASSERT_TRUE(exclusive);
    EXPECT_FALSE(CreateFile(file, kGenericRead, kFileShareRead | kFileShareWrite, kOpenExisting, 0));
    EXPECT_EQ(LastError(), kErrorSharingViolation);
    // Still there, only locked: existence does not depend on opening it.
    EXPECT_TRUE(FileExistsEx(file));
    EXPECT_THROW(TFileStream(file, fmOpenRead | fmShareDenyNone), EFOpenError);
  }
  {
    auto reader = CreateFile(file, kGenericRead, kFileShareRead, kOpenExisting, 0);
    ASSERT_TRUE(reader);
    EXPECT_TRUE(CreateFile(file, kGenericRead, kFileShareRead, kOpenExisting, 0));
    EXPECT_FALSE(CreateFile(file, kGenericWrite, kFileShareRead, kOpenExisting, 0));
    EXPECT_EQ(LastError(), kErrorSharingViolation);
  }
}

// An old PDF that a viewer or a virus scanner holds for a moment (opened
// without delete sharing): DeleteFileRetry waits for the holder to let go
// instead of using up its attempts at once, and gives up within about 2 s.
TEST(Win32Files, DeleteFileRetryOutlastsABriefLock) {
  test::TempEnv env;
  const std::string file = env.Dir("lock") + "Angebot 4711 A17.pdf";
  test::WriteBytes(file, "%PDF");
  auto holder = CreateFile(file, kGenericRead, kFileShareRead, kOpenExisting, kFileAttributeNormal);
  ASSERT_TRUE(holder);
  ASSERT_FALSE(DeleteFile(file)) << "the holder must keep the file from being deleted";
  {
    test::SimulatedTime time;
    time.At(300, [&] { holder.reset(); });
    EXPECT_TRUE(DeleteFileRetry(file));
    EXPECT_FALSE(FileExistsEx(file));
    EXPECT_GE(time.NowMs(), 300);
  }
  test::WriteBytes(file, "%PDF");
  holder = CreateFile(file, kGenericRead, kFileShareRead, kOpenExisting, kFileAttributeNormal);
  ASSERT_TRUE(holder);
  {
    test::SimulatedTime time;
    EXPECT_FALSE(DeleteFileRetry(file));  // held for good
    EXPECT_GE(time.NowMs(), 1500);
    EXPECT_LE(time.NowMs(), 2000);
  }
}

TEST(Win32Files, DispositionsAndErrorCodes) {
  test::TempEnv env;
  const std::string dir = env.Dir("d");
  const std::string file = dir + "f.bin";
  EXPECT_FALSE(CreateFile(file, kGenericRead, 0, kOpenExisting, 0));
  EXPECT_EQ(LastError(), kErrorFileNotFound);
  EXPECT_FALSE(CreateFile(dir + "kein\\f.bin", kGenericRead, 0, kOpenExisting, 0));
  EXPECT_EQ(LastError(), kErrorPathNotFound);

  auto created = CreateFile(file, kGenericRead | kGenericWrite, 0, kCreateNew, 0);
  ASSERT_TRUE(created);
  EXPECT_EQ(created->Write("hello", 5), 5);
  created.reset();
  EXPECT_FALSE(CreateFile(file, kGenericWrite, 0, kCreateNew, 0));
  EXPECT_EQ(LastError(), kErrorFileExists);

  auto kept = CreateFile(file, kGenericRead | kGenericWrite, 0, kOpenAlways, 0);
  ASSERT_TRUE(kept);
  EXPECT_EQ(LastError(), kErrorAlreadyExists);  // as the system reports an existing file
  EXPECT_EQ(kept->Size(), 5);
  EXPECT_EQ(kept->Seek(2, SeekOrigin::Begin), 2);
  EXPECT_TRUE(kept->SetEndOfFile());
  EXPECT_EQ(kept->Size(), 2);
  char buffer[8];
  EXPECT_EQ(kept->Seek(0, SeekOrigin::Begin), 0);
  EXPECT_EQ(kept->Read(buffer, sizeof buffer), 2);
  kept.reset();

  EXPECT_EQ(CreateFile(file, kGenericWrite, 0, kCreateAlways, 0)->Size(), 0);
  EXPECT_FALSE(CreateFile(dir, kGenericRead, 0, kOpenExisting, 0));
  EXPECT_EQ(LastError(), kErrorAccessDenied);
  EXPECT_TRUE(CreateFile(dir, kGenericRead, kFileShareRead, kOpenExisting, kFileFlagBackupSemantics));

  EXPECT_EQ(GetFileAttributes(dir + "fehlt"), kInvalidFileAttributes);
  EXPECT_EQ(LastError(), kErrorFileNotFound);
  EXPECT_EQ(GetFileAttributes(std::string("a\0b", 3)), kInvalidFileAttributes);
  EXPECT_EQ(LastError(), kErrorInvalidName);
  EXPECT_FALSE(DeleteFile(dir));
  EXPECT_TRUE(DeleteFile(file));
  EXPECT_FALSE(DeleteFile(file));
  EXPECT_EQ(LastError(), kErrorFileNotFound);
}

TEST(Win32Files, MoveReplacesAnExistingTarget) {
  test::TempEnv env;
  const std::string dir = env.Dir("m");
  test::WriteBytes(dir + "neu.tmp", "neu");
  test::WriteBytes(dir + "ziel.txt", "alt");
  EXPECT_TRUE(MoveFileReplace(dir + "neu.tmp", dir + "ziel.txt"));
  EXPECT_BYTES_EQ(test::ReadBytes(dir + "ziel.txt"), "neu");
  EXPECT_FALSE(FileExistsEx(dir + "neu.tmp"));
}

TEST(Win32Files, ListingsMatchMasksWithoutRegardToCase) {
  test::TempEnv env;
  const std::string dir = env.Dir("list");
  for (const char* name : {"Rechnung.DA1", "angebot.da1", "ohne", "notiz.txt"}) test::WriteBytes(dir + name, "x");
  ASSERT_TRUE(CreateDirectory(dir + "unter"));
  struct Case {
    const char* mask;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"*.da1", {"Rechnung.DA1", "angebot.da1"}},
      {"R*", {"Rechnung.DA1"}},
      {"*.pdf", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mask);
    std::vector<std::string> names;
    FindData data;
    auto listing = FindFirstFile(dir + c.mask, data);
    if (!listing) {
      EXPECT_EQ(LastError(), kErrorFileNotFound);
    }
    for (bool more = listing != nullptr; more; more = FindNextFile(*listing, data)) names.push_back(data.Name);
    if (listing) {
      EXPECT_EQ(LastError(), kErrorNoMoreFiles);
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected = c.names;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    for (const std::string& name : c.names) EXPECT_TRUE(MatchesFileMask(name, c.mask)) << name;
  }
  EXPECT_FALSE(FindFirstFile(dir + "fehlt\\*.*"));
  EXPECT_EQ(LastError(), kErrorPathNotFound);
  EXPECT_TRUE(MatchesFileMask("\xC4RGER.TXT", "\xE4rger.*"));  // the code page's own case folding
  // "*." asks for names without extension; "name.*" takes the bare name too.
  EXPECT_TRUE(MatchesFileMask("ohne", "*."));
  EXPECT_FALSE(MatchesFileMask("notiz.txt", "*."));
  EXPECT_TRUE(MatchesFileMask("ohne", "ohne.*"));

  FindData details;
  ASSERT_TRUE(GetEntryDetails(dir + "notiz.txt", details));
  EXPECT_EQ(details.Name, "notiz.txt");
  EXPECT_EQ(details.Size, 1u);
  EXPECT_NE(details.LastWriteTime, 0u);
  ASSERT_TRUE(GetEntryDetails(dir + "unter", details));
  EXPECT_TRUE(details.Attributes & kFileAttributeDirectory);

  FolderIdentity a, b, c;
  ASSERT_TRUE(GetFolderIdentity(dir + "unter", a));
  ASSERT_TRUE(GetFolderIdentity(dir + "unter\\..\\unter", b));
  ASSERT_TRUE(GetFolderIdentity(dir, c));
  EXPECT_EQ(a, b);
  EXPECT_FALSE(a == c);
}

TEST(Win32Files, FileTimesBecomeLocalDateTimes) {
  TIME_ZONE_INFORMATION zone;
  ::GetTimeZoneInformation(&zone);
  // 2020-01-15 12:00:00 UTC is day 43845.5 in UTC; the local value differs by
  // the zone's offset in January.
  constexpr uint64_t kNoonUtc = 132235632000000000ull;
  FILETIME utc{static_cast<DWORD>(kNoonUtc), static_cast<DWORD>(kNoonUtc >> 32)}, local;
  ASSERT_TRUE(::FileTimeToLocalFileTime(&utc, &local));
  const double offsetDays =
      (static_cast<double>(FileTimeValue(local)) - static_cast<double>(kNoonUtc)) / 864000000000.0;
  EXPECT_NEAR(FileTimeToLocalDateTime(kNoonUtc), 43845.5 + offsetDays, 1e-6);
}

}  // namespace
}  // namespace wb
