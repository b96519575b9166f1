// Written files against their golden copies: the entries file through the save
// path of the main window (lines, sorted document, readable JSON, CR LF) and the
// settings file through TFastIniFile, both from the inputs in input/. Every
// build compares with the same expected/ files, so Linux and Windows write the
// same bytes. WB_UPDATE_GOLDEN=1 writes the expected files anew instead.
#include <gtest/gtest.h>

#include <cstdlib>

#include "client/fast_ini_file.h"
#include "client/file_helpers.h"
#include "entries/entries_file.h"
#include "platform/codepage.h"
#include "support/bytes_equal.h"
#include "support/files.h"
#include "support/temp_env.h"

namespace wb {
namespace {

using test::ReadBytes;
using test::WriteBytes;

std::string SourceDir() {
  const char* dir = std::getenv("WB_SOURCE_DIR");
  return dir && *dir ? dir : ".";
}
std::string InputPath(const std::string& name) { return SourceDir() + "/tests/golden_files/input/" + name; }
std::string ExpectedPath(const std::string& name) { return SourceDir() + "/tests/golden_files/expected/" + name; }

void CompareWithGolden(const std::string& written, const std::string& goldenName) {
  const std::string actual = ReadBytes(written);
  ASSERT_FALSE(actual.empty()) << written;
  const char* update = std::getenv("WB_UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    ASSERT_TRUE(WriteBytes(ExpectedPath(goldenName), actual)) << ExpectedPath(goldenName);
    return;
  }
  const std::string expected = ReadBytes(ExpectedPath(goldenName));
  ASSERT_FALSE(expected.empty()) << "missing " << ExpectedPath(goldenName);
  EXPECT_BYTES_EQ(actual, expected) << goldenName;
}

TEST(GoldenFiles, TheEntriesFileIsWrittenAsOnEveryPlatform) {
  test::TempEnv env;
  auto loaded = LoadEntriesDocument(InputPath("entries.json"));
  ASSERT_TRUE(loaded);
  TStringList lines;
  BuildEntryLines(*loaded, lines);
  auto document = BuildSaveDocument(lines);
  const std::string path = EntriesFilePath(env.Dir("db"));
  WriteDocumentFile(*document, path);
  CompareWithGolden(path, "sdr.json");
}

TEST(GoldenFiles, TheSettingsFileKeepsItsLinesAndTakesTheNewValues) {
  test::TempEnv env;
  const std::string path = env.Dir("tmp") + "Sonderdruck.V1.LocalSetup.txt";
  ASSERT_TRUE(WriteBytes(path, ReadBytes(InputPath("LocalSetup.txt"))));
  {
    TFastIniFile settings(path);
    settings.WriteNumber("Setup", "ItemIndex", 3);
    settings.WriteFlag("Setup", "OpenPDF", false);
    settings.WriteSetting("Fenster", "Titel", Ansi(u8"Größe & Maß"));
    settings.WriteSetting(Ansi(u8"Zuletzt geöffnet"), "Datei", "C:\\Belege\\Bestellung Nr. 7.pdf");
    settings.Flush();
  }
  CompareWithGolden(path, "LocalSetup.txt");
}

TEST(GoldenFiles, AFreshSettingsFileHoldsTheTwoSettings) {
  test::TempEnv env;
  const std::string path = env.Dir("tmp") + "Sonderdruck.V1.LocalSetup.txt";
  {
    TFastIniFile settings(path);
    settings.WriteNumber("Setup", "ItemIndex", -1);
    settings.WriteFlag("Setup", "OpenPDF", true);
    settings.Flush();
  }
  CompareWithGolden(path, "FreshLocalSetup.txt");
}

}  // namespace
}  // namespace wb
