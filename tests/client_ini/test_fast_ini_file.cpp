// The settings file as users see it: what is written back, byte for byte, and
// what each kind of line reads as.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "client/fast_ini_file.h"
#include "client/ini_file_stream.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "strings/string_list.h"
#include "support/bytes_equal.h"
#include "support/files.h"
#include "support/temp_env.h"

namespace wb {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

class FastIniFileTest : public ::testing::Test {
 protected:
  void SetUp() override { SetIniRetryWindowMsForTesting(50); }
  void TearDown() override { SetIniRetryWindowMsForTesting(-1); }

  std::string PathOf(const std::string& name) { return env_.Dir("ini") + name; }
  // Writes the file, runs the edit on a settings object and returns the bytes
  // on disk after the object is gone.
  template <typename Edit>
  std::string Rewrite(const std::string& before, Edit edit) {
    const std::string path = PathOf("setup.txt");
    WriteBytes(path, before);
    {
      TFastIniFile ini(path);
      edit(ini);
    }
    return ReadBytes(path);
  }

  test::TempEnv env_;
};

// ---- Writing back ---------------------------------------------------------

TEST_F(FastIniFileTest, LinesNoLookupPassedAreWrittenBackByteForByte) {
  const std::string before =
      " ;x\r\n[Setup] \r\n  odd line\r\n;kommentar\r\n\r\n[Other]\r\nKey = value ; note\r\n"
      "[Setup]\r\nItemIndex=1\r\n";
  const std::string after = Rewrite(before, [](TFastIniFile& ini) { ini.WriteNumber("Setup", "ItemIndex", 2); });
  EXPECT_EQ(after,
            " ;x\r\n[Setup] \r\n  odd line\r\n;kommentar\r\n\r\n[Other]\r\nKey = value ; note\r\n"
            "[Setup]\r\nItemIndex=2\r\n");
}

TEST_F(FastIniFileTest, LinesALookupPassedAreWrittenInParsedForm) {
  // Looking for "Last" parses every line before it in the section.
  const std::string after = Rewrite("[S]\r\n  A = 1 \r\n\tjust text\r\nLast=0\r\n",
                                    [](TFastIniFile& ini) { ini.WriteSetting("S", "Last", "9"); });
  EXPECT_EQ(after, "[S]\r\nA=1\r\njust text\r\nLast=9\r\n");
}

TEST_F(FastIniFileTest, LineEndsAreNormalisedOnlyWhenTheFileIsWritten) {
  const std::string before = "[S]\nA=1\rB=2\n\rC=3";  // LF, CR, LF CR (an extra empty line), no end
  const std::string after = Rewrite(before, [](TFastIniFile& ini) { ini.WriteSetting("S", "A", "5"); });
  EXPECT_EQ(after, "[S]\r\nA=5\r\nB=2\r\n\r\nC=3\r\n");
}

TEST_F(FastIniFileTest, ReadingStopsAtTheFirstNulByte) {
  const std::string before = std::string("[S]\r\nA=1\r\nB=2") + std::string("\0[T]\r\nX=1\r\n", 11);
  const std::string after = Rewrite(before, [](TFastIniFile& ini) {
    EXPECT_EQ(ini.ReadSetting("T", "X", "none"), "none");
    ini.WriteSetting("S", "A", "7");
  });
  EXPECT_EQ(after, "[S]\r\nA=7\r\nB=2\r\n");
}

struct CommentCase {
  const char* line;
  const char* value;
  const char* written;
};

class CommentColumnTest : public FastIniFileTest, public ::testing::WithParamInterface<CommentCase> {};

TEST_P(CommentColumnTest, TheCommentKeepsItsColumnWhenThereIsRoom) {
  const CommentCase& c = GetParam();
  const std::string after = Rewrite(std::string("[Setup]\r\n") + c.line + "\r\n",
                                    [&](TFastIniFile& ini) { ini.WriteSetting("Setup", "ItemIndex", c.value); });
  EXPECT_EQ(after, std::string("[Setup]\r\n") + c.written + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Cases, CommentColumnTest,
                         ::testing::Values(CommentCase{"ItemIndex=100   ; x", "5", "ItemIndex=5     ; x"},
                                           CommentCase{"ItemIndex = 3 ; letzte Wahl", "12",
                                                       "ItemIndex=12 ; letzte Wahl"},
                                           CommentCase{"ItemIndex=1 ;x", "123456", "ItemIndex=123456 ;x"},
                                           CommentCase{"ItemIndex=\"a;b\" ; c", "z", "ItemIndex=z     ; c"},
                                           CommentCase{"ItemIndex=;nur Kommentar", "4", "ItemIndex=4 ;nur Kommentar"}));

TEST_F(FastIniFileTest, ALongCommentIsKeptWhole) {
  const std::string comment = "; " + std::string(400, 'k');
  const std::string after =
      Rewrite("[S]\r\nA=1 " + comment + "\r\n", [](TFastIniFile& ini) { ini.WriteSetting("S", "A", "2"); });
  EXPECT_EQ(after, "[S]\r\nA=2 " + comment + "\r\n");
}

TEST_F(FastIniFileTest, NewKeysGoAfterTheLastKeyBeforeTrailingCommentsAndBlanks) {
  const std::string after = Rewrite("[A]\r\nX=1\r\n; zu B\r\n\r\n[B]\r\nY=2\r\n", [](TFastIniFile& ini) {
    ini.WriteSetting("A", "New", "n");
    ini.WriteSetting("B", "Other", "o");
  });
  EXPECT_EQ(after, "[A]\r\nX=1\r\nNew=n\r\n; zu B\r\n\r\n[B]\r\nY=2\r\nOther=o\r\n");
}

TEST_F(FastIniFileTest, NewKeyInAnEmptySectionGoesRightAfterTheHeader) {
  const std::string after =
      Rewrite("[A]\r\n;c\r\n[B]\r\n", [](TFastIniFile& ini) { ini.WriteSetting("A", " K ", "v"); });
  EXPECT_EQ(after, "[A]\r\nK=v\r\n;c\r\n[B]\r\n");
}

struct NewSectionCase {
  const char* before;
  const char* after;
};

class NewSectionTest : public FastIniFileTest, public ::testing::WithParamInterface<NewSectionCase> {};

TEST_P(NewSectionTest, ANewSectionFollowsOneBlankLine) {
  const std::string after = Rewrite(GetParam().before, [](TFastIniFile& ini) { ini.WriteSetting("Neu", "K", "1"); });
  EXPECT_EQ(after, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Cases, NewSectionTest,
                         ::testing::Values(NewSectionCase{"", "[Neu]\r\nK=1\r\n"},
                                           NewSectionCase{"[A]\r\nX=1", "[A]\r\nX=1\r\n\r\n[Neu]\r\nK=1\r\n"},
                                           NewSectionCase{"[A]\r\nX=1\r\n\r\n", "[A]\r\nX=1\r\n\r\n[Neu]\r\nK=1\r\n"},
                                           NewSectionCase{"; nur\r\n", "; nur\r\n\r\n[Neu]\r\nK=1\r\n"}));

TEST_F(FastIniFileTest, AFreshFileHoldsExactlyTheThreeSettingsLines) {
  const std::string path = env_.Root().string() + "/neu/tiefer/Sonderdruck.V1.LocalSetup.txt";
  {
    TFastIniFile ini(path);
    ini.WriteNumber("Setup", "ItemIndex", -1);
    ini.WriteFlag("Setup", "OpenPDF", false);
  }
  EXPECT_BYTES_EQ(ReadBytes(path), "[Setup]\r\nItemIndex=-1\r\nOpenPDF=0\r\n");
  TFastIniFile again(path);
  EXPECT_EQ(again.ReadNumber("Setup", "ItemIndex", 0), -1);
  EXPECT_FALSE(again.ReadFlag("Setup", "OpenPDF", true));
}

TEST_F(FastIniFileTest, AMissingFileGivesDefaultsAndIsNotCreated) {
  const std::string path = PathOf("fehlt.txt");
  {
    TFastIniFile ini(path);
    EXPECT_EQ(ini.ReadNumber("Setup", "ItemIndex", 0), 0);
    EXPECT_TRUE(ini.ReadFlag("Setup", "OpenPDF", true));
    EXPECT_EQ(ini.ReadSetting("Setup", "X", "d"), "d");
  }
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(FastIniFileTest, WritingTheStoredValueDoesNotRewriteTheFile) {
  // LF line ends would become CR LF if the file were written again.
  const std::string before = "[Setup]\nItemIndex = 3 ; letzte Wahl\nOpenPDF=1\n";
  const std::string after = Rewrite(before, [](TFastIniFile& ini) {
    ini.WriteNumber("Setup", "ItemIndex", 3);
    ini.WriteFlag("Setup", "OpenPDF", true);
    EXPECT_FALSE(ini.Modified());
  });
  EXPECT_EQ(after, before);
}

TEST_F(FastIniFileTest, NothingIsReadBeforeTheFirstAccess) {
  const std::string path = PathOf("lazy.txt");
  TFastIniFile ini(path);
  WriteBytes(path, "[S]\r\nA=spät\r\n");  // written after creation, still seen
  EXPECT_FALSE(ini.Loaded());
  EXPECT_EQ(ini.ReadSetting("S", "A", ""), "spät");
  EXPECT_TRUE(ini.Loaded());
}

// ---- Reading values -------------------------------------------------------

struct NumberCase {
  const char* value;
  int32_t number;  // with default -99
  bool flag;       // with default false
};

class ReadNumberTest : public FastIniFileTest, public ::testing::WithParamInterface<NumberCase> {};

TEST_P(ReadNumberTest, ValuesReadAsNumbersAndFlags) {
  const std::string path = PathOf("n.txt");
  WriteBytes(path, std::string("[Setup]\r\nV=") + GetParam().value + "\r\n");
  TFastIniFile ini(path);
  EXPECT_EQ(ini.ReadNumber("Setup", "V", -99), GetParam().number) << GetParam().value;
  EXPECT_EQ(ini.ReadFlag("Setup", "V", false), GetParam().flag) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadNumberTest,
    ::testing::Values(NumberCase{"3 ; letzte Wahl", 3, true}, NumberCase{"0", 0, false}, NumberCase{"-7", -7, true},
                      NumberCase{"+7", 7, true}, NumberCase{"true", -99, false}, NumberCase{"0x10", 16, true},
                      NumberCase{"0X1f", 31, true}, NumberCase{"$FF", 255, true}, NumberCase{"0x", -99, false},
                      NumberCase{"$FFFFFFFF", -1, true}, NumberCase{"$100000000", -99, false},
                      NumberCase{"2147483647", 2147483647, true}, NumberCase{"2147483648", -99, false},
                      NumberCase{"-2147483648", INT32_MIN, true}, NumberCase{"", -99, false},
                      NumberCase{"1 2", -99, false}, NumberCase{"12abc", -99, false}));

TEST_F(FastIniFileTest, SemicolonsInsideQuotesAreNotComments) {
  const std::string path = PathOf("q.txt");
  WriteBytes(path, "[S]\r\nQ=\"a;b\"\r\nP=a;b\r\nR='x'\r\nT=\"y'\r\n");
  TFastIniFile ini(path);
  EXPECT_EQ(ini.ReadSetting("S", "Q", ""), "\"a;b\"");
  EXPECT_EQ(ini.ReadSetting("S", "P", ""), "a");
  ini.StripQuotes = true;
  EXPECT_EQ(ini.ReadSetting("S", "Q", ""), "a;b");
  EXPECT_EQ(ini.ReadSetting("S", "R", ""), "x");
  EXPECT_EQ(ini.ReadSetting("S", "T", ""), "\"y'");
  ini.StripInlineComments = false;
  EXPECT_EQ(ini.ReadSetting("S", "P", ""), "a;b");
}

TEST_F(FastIniFileTest, NamesMatchAccordingToTheCaseMode) {
  const std::string path = PathOf("c.txt");
  WriteBytes(path, Ansi(u8"[setup]\r\nitemindex=4\r\n[größe]\r\nbreite=1\r\n"));
  TFastIniFile ini(path);
  EXPECT_EQ(ini.ReadNumber("Setup", "ItemIndex", 0), 4);
  EXPECT_EQ(ini.ReadSetting(Ansi(u8"GRÖßE"), "BREITE", ""), "1");
  ini.SetUseSystemUpperCase(false);  // ASCII only: ö and Ö differ
  EXPECT_EQ(ini.ReadSetting(Ansi(u8"GRÖßE"), "BREITE", "-"), "-");
  EXPECT_EQ(ini.ReadSetting(Ansi(u8"GRöße"), "BREITE", "-"), "1");
  ini.SetCaseSensitive(true);
  EXPECT_EQ(ini.ReadSetting("Setup", "itemindex", "-"), "-");
  EXPECT_EQ(ini.ReadSetting("setup", "itemindex", "-"), "4");
}

TEST_F(FastIniFileTest, DuplicatesAndKeysOutsideSections) {
  const std::string path = PathOf("d.txt");
  WriteBytes(path, "Frei=0\r\n[S]\r\nK=first\r\nK=second\r\n[S]\r\nL=later\r\n[]\r\nLeer=1\r\n");
  TFastIniFile ini(path);
  EXPECT_EQ(ini.ReadSetting("", "Frei", "none"), "none");
  EXPECT_EQ(ini.ReadSetting("S", "K", "none"), "none");  // the later [S] is the one found
  EXPECT_EQ(ini.ReadSetting("S", "L", ""), "later");
  EXPECT_EQ(ini.ReadSetting("", "Leer", ""), "1");
  ini.RemoveSection("S");
  EXPECT_EQ(ini.ReadSetting("S", "K", ""), "first");  // now the earlier one is the only [S]
}

TEST_F(FastIniFileTest, TheCacheFollowsSectionsBeingRemovedAndAdded) {
  TFastIniFile ini("");
  ini.WriteSetting("A", "K", "1");
  ini.WriteSetting("B", "K", "2");
  EXPECT_EQ(ini.ReadSetting("A", "K", ""), "1");
  ini.RemoveSection("A");
  EXPECT_EQ(ini.ReadSetting("A", "K", "weg"), "weg");
  EXPECT_EQ(ini.ReadSetting("B", "K", ""), "2");
  ini.WriteSetting("A", "K", "3");
  EXPECT_EQ(ini.ReadSetting("A", "K", ""), "3");
  EXPECT_EQ(ini.Items().GetText(), "[B]\r\nK=2\r\n\r\n[A]\r\nK=3\r\n");
}

// ---- Lists and removal ----------------------------------------------------

TEST_F(FastIniFileTest, ListsGiveNamesInFileOrder) {
  const std::string path = PathOf("l.txt");
  WriteBytes(path, "[A]\r\nX=1 ;c\r\ntext\r\nY=2\r\n[B]\r\n[A]\r\nZ=3\r\n");
  TFastIniFile ini(path);
  TStringList list;
  list.Add("vorher");
  ini.ListSections(list);
  EXPECT_EQ(list.Text(), "A\r\nB\r\nA\r\n");
  ini.ListKeys("A", list);
  EXPECT_EQ(list.Text(), "Z\r\n");
  ini.RemoveSection("A");
  ini.ListKeyValues("A", list);
  EXPECT_EQ(list.Text(), "X=1\r\nY=2\r\n");
  ini.ListKeys("fehlt", list);
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(FastIniFileTest, RemoveSectionLeavesTheCommentsThatIntroduceTheNext) {
  const std::string after = Rewrite("[A]\r\n;mitten\r\nX=1\r\n\r\n; zu B\r\n\r\n[B]\r\nY=2\r\n",
                                    [](TFastIniFile& ini) { ini.RemoveSection("A"); });
  EXPECT_EQ(after, "; zu B\r\n\r\n[B]\r\nY=2\r\n");
}

TEST_F(FastIniFileTest, RemoveKeyAndTheEmptyKeyForms) {
  const std::string after = Rewrite("[A]\r\nX=1\r\nY=2\r\n[B]\r\nZ=3\r\n", [](TFastIniFile& ini) {
    ini.RemoveKey("A", "x");
    ini.RemoveKey("A", "fehlt");
    ini.WriteSetting("B", "", "wert");  // an empty key with a value does nothing
    EXPECT_EQ(ini.ReadSetting("B", "Z", ""), "3");
    ini.WriteSetting("B", "", "");  // removes the section
    EXPECT_EQ(ini.ReadSetting("A", "Y", ""), "2");
  });
  EXPECT_EQ(after, "[A]\r\nY=2\r\n");
}

TEST_F(FastIniFileTest, WritingEmptyKeyAndSectionFlushes) {
  const std::string path = PathOf("f.txt");
  TFastIniFile ini(path);
  ini.WriteSetting("S", "K", "v");
  EXPECT_FALSE(fs::exists(path));
  ini.WriteSetting("", "", "");
  EXPECT_BYTES_EQ(ReadBytes(path), "[S]\r\nK=v\r\n");
  EXPECT_FALSE(ini.Modified());
}

TEST_F(FastIniFileTest, ALineIndexOutsideTheStoreIsAListError) {
  TFastIniFile ini("");
  ini.WriteSetting("S", "K", "v");
  try {
    ini.Items().Line(5);
    FAIL() << "no error";
  } catch (const Exception& error) {
    EXPECT_EQ(std::string(error.what()), Ansi(u8"Der Index der Liste überschreitet das Maximum (5)"));
  }
}

// ---- Failures -------------------------------------------------------------

TEST_F(FastIniFileTest, AFileThatCannotBeWrittenFailsAtDestructionWithTheCreateText) {
  const std::string path = PathOf("blockiert");
  fs::create_directories(path);  // a folder where the file should be
  auto write = [&] {
    TFastIniFile ini(path);
    ini.WriteNumber("Setup", "ItemIndex", 1);
  };
  try {
    write();
    FAIL() << "no error";
  } catch (const EFCreateError& error) {
    EXPECT_EQ(std::string(error.what()), "Datei " + path + " kann nicht erstellt werden");
  }
}

TEST_F(FastIniFileTest, AFailedWriteLeavesTheOldFileWhole) {
  const std::string path = PathOf("alt.txt");
  WriteBytes(path, "[Setup]\r\nItemIndex=1\r\n");
  TFastIniFile ini(path);
  ini.WriteNumber("Setup", "ItemIndex", 2);
  // The folder is replaced by a file: neither a temporary file nor the target can be made.
  fs::rename(env_.Root() / "ini", env_.Root() / "weg");
  WriteBytes(env_.Root().string() + "/ini", "kein Ordner");
  EXPECT_THROW(ini.Flush(), EFCreateError);
  EXPECT_BYTES_EQ(ReadBytes((env_.Root() / "weg" / "alt.txt").string()), "[Setup]\r\nItemIndex=1\r\n");
  ini.ClearAll();  // nothing left to write at destruction
}

TEST_F(FastIniFileTest, FlushLeavesNoTemporaryFilesAndKeepsPermissions) {
  const std::string path = PathOf("rechte.txt");
  WriteBytes(path, "[S]\r\nA=1\r\n");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  {
    TFastIniFile ini(path);
    ini.WriteSetting("S", "A", "2");
  }
  EXPECT_BYTES_EQ(ReadBytes(path), "[S]\r\nA=2\r\n");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(env_.Dir("ini"))) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST_F(FastIniFileTest, TheFileStreamReportsOpenAndCreateFailuresInGerman) {
  const std::string missing = PathOf("gibt-es-nicht.txt");
  try {
    TFileStreamEx stream(missing, fmOpenRead | fmShareDenyWrite);
    FAIL() << "no error";
  } catch (const EFCreateError& error) {
    EXPECT_EQ(std::string(error.what()), "Datei " + missing + Ansi(u8" kann nicht geöffnet werden"));
  }
  const std::string folder = env_.Dir("ordner");
  EXPECT_THROW(TFileStreamEx(folder, fmCreate), EFCreateError);
}

// A read that fails part-way must not pass for the whole file: the next write
// would drop every line not read. A kernel file that reports 4096 bytes and
// gives a few stands in for a disk that fails in the middle of the file.
TEST_F(FastIniFileTest, AReadThatFailsPartWayLeavesTheFileAlone) {
  const fs::path shortFile = "/sys/devices/system/cpu/online";
  std::error_code error;
  if (!fs::is_regular_file(shortFile, error) || fs::file_size(shortFile, error) <= ReadBytes(shortFile.string()).size())
    GTEST_SKIP() << "no file here whose size promises more than it gives (" << shortFile << ")";
  const std::string path = PathOf("setup.txt");
  fs::create_symlink(shortFile, path);
  {
    TFastIniFile ini(path);
    try {
      ini.ReadNumber("Setup", "ItemIndex", 0);
      FAIL() << "no error";
    } catch (const EInOutError& failure) {
      EXPECT_EQ(std::string(failure.what()), "Datei " + path + " kann nicht gelesen werden");
    }
    EXPECT_THROW(ini.WriteNumber("Setup", "ItemIndex", 3), EInOutError);
    EXPECT_FALSE(ini.Modified());
  }  // destruction writes nothing
  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_EQ(fs::read_symlink(path), shortFile);
}

TEST_F(FastIniFileTest, AnErrorDuringUnwindingDoesNotEndTheProgram) {
  const std::string path = PathOf("blockiert2");
  fs::create_directories(path);
  EXPECT_THROW(
      {
        TFastIniFile ini(path);
        ini.WriteNumber("Setup", "ItemIndex", 1);
        throw std::runtime_error("anderer Fehler");
      },
      std::runtime_error);
}

}  // namespace
}  // namespace wb
