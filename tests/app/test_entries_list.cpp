// The entries file as the main window loads, lists and saves it.
#include "app_fixture.h"
#include "entries/entries_file.h"
#include "entries/entry_fields.h"

#include <chrono>

using namespace wb;
using namespace wb::test;

TEST_F(MainWindowTest, ListsPrintThenPdfThenOthers) {
  WriteEntries(Entry("Extern", "Extern") + "," + Entry("b", "pdf") + "," + Entry("Print", "Print") + "," +
               Entry("<b>Lieferschein</b>", "pdf", true));
  frm->FormCreate();
  EXPECT_EQ(view.rows, (std::vector<std::string>{"[Print] Print", "[pdf] b", "[pdf] Lieferschein  [Nicht benutzt]",
                                                 "[Extern] Extern"}));
  // Each line carries its own entry.
  for (int i = 0; i < frm->Lines().Count(); ++i)
    EXPECT_EQ(EntryDisplayText(*static_cast<TWBCustomJSON*>(frm->Lines().GetObject(i))).substr(0, 5),
              view.rows[i].substr(0, 5));
}

TEST_F(MainWindowTest, LongNamesAreCutToAHundredCharacters) {
  WriteEntries(Entry(std::string(150, 'x'), "pdf"));
  frm->FormCreate();
  ASSERT_EQ(view.rows.size(), 1u);
  EXPECT_EQ(view.rows[0], "[pdf] " + std::string(94, 'x'));
}

TEST_F(MainWindowTest, EmptyItemsBecomeTheExampleWithoutAMessage) {
  WriteEntries("");
  frm->FormCreate();
  ASSERT_EQ(view.rows.size(), 1u);
  EXPECT_NE(view.rows[0].find("Beispiel"), std::string::npos);
  EXPECT_TRUE(MessageBoxes::TakeShownTexts().empty());
}

TEST_F(MainWindowTest, DamagedFileIsReportedAndKeptBesideTheExample) {
  const std::string damaged = "{\"Items\":[{\"Info\":\"Meine Eintr\xE4ge\"";  // cut off
  WriteBytes(EntriesPath(), damaged);
  WriteBytes(EntriesPath() + ".backup", "previous backup");
  frm->FormCreate();
  auto texts = MessageBoxes::TakeShownTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], "Die Datei " + EntriesPath() + " ist leider besch\xE4" "digt!");
  bool keptDamaged = false, keptBackup = false;
  for (auto& file : std::filesystem::directory_iterator(database + "Sonderdruck.V1")) {
    std::string name = file.path().filename().string();
    if (name.rfind("sdr.json.beschaedigt-", 0) == 0) keptDamaged = ReadBytes(file.path().string()) == damaged;
    if (name.rfind("sdr.json.backup.vorher-", 0) == 0) keptBackup = ReadBytes(file.path().string()) == "previous backup";
  }
  EXPECT_TRUE(keptDamaged);
  EXPECT_TRUE(keptBackup);
  EXPECT_NE(ReadBytes(EntriesPath()).find("Beispiel"), std::string::npos);
}

TEST_F(MainWindowTest, SaveSortsByPlainInfoAsText) {
  WriteEntries(Entry("Layout 9", "pdf", false, "U9") + "," + Entry("Layout 10", "pdf", false, "U10") + "," +
               Entry("<b>alpha</b>", "print", false, "UA"));
  frm->FormCreate();
  view.selected = 1;
  frm->SaveEntries();
  const std::string file = ReadBytes(EntriesPath());
  auto at = [&](const char* text) { return file.find(text); };
  EXPECT_LT(at("<b>alpha<\\/b>"), at("Layout 10"));
  EXPECT_LT(at("Layout 10"), at("Layout 9"));
  EXPECT_EQ(ReadBytes(EntriesPath() + ".backup"), file);
  EXPECT_EQ(view.selected, 1);
  EXPECT_EQ(frm->BusyCount(), 0);
  EXPECT_TRUE(frm->UidExists("U10"));
  EXPECT_FALSE(frm->UidExists("u10"));
}

TEST_F(MainWindowTest, SaveRefusesItemsWhoseFirstEntryHasNoInfo) {
  WriteEntries("{\"Destination\":\"pdf\"}," + Entry("b", "pdf"));
  frm->FormCreate();
  const std::string before = ReadBytes(EntriesPath());
  try {
    frm->SaveEntries();
    FAIL();
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "Info not found in Items");
  }
  EXPECT_EQ(ReadBytes(EntriesPath()), before);
  EXPECT_EQ(frm->BusyCount(), 0);
}

TEST_F(MainWindowTest, UnknownRootMembersReachTheBackupButNotTheNextSave) {
  WriteBytes(EntriesPath(), "{\"Extra\":1,\"Items\":[" + Entry("a", "pdf") + "]}");
  frm->FormCreate();
  EXPECT_NE(ReadBytes(EntriesPath() + ".backup").find("Extra"), std::string::npos);
  frm->SaveEntries();
  EXPECT_EQ(ReadBytes(EntriesPath()).find("Extra"), std::string::npos);
}

TEST_F(MainWindowTest, TheStartBackupIsWrittenOnlyWhenItsBytesDiffer) {
  namespace fs = std::filesystem;
  WriteEntries(Entry("a", "pdf"));
  frm->FormCreate();
  const std::string backup = EntriesPath() + ".backup";
  const std::string written = ReadBytes(backup);
  ASSERT_FALSE(written.empty());

  // The same entries again: the backup already holds them and stays untouched.
  // A day back; read again, as the file system keeps the time in its own precision.
  fs::last_write_time(backup, fs::file_time_type::clock::now() - std::chrono::hours(24));
  const auto old = fs::last_write_time(backup);
  frm->LoadEntries(0);
  EXPECT_EQ(fs::last_write_time(backup), old);
  EXPECT_EQ(ReadBytes(backup), written);

  // A backup with other bytes (here one byte shorter, then one byte changed) is rewritten.
  for (const std::string& stale : {written.substr(0, written.size() - 1), "x" + written.substr(1)}) {
    WriteBytes(backup, stale);
    fs::last_write_time(backup, old);
    frm->LoadEntries(0);
    EXPECT_EQ(ReadBytes(backup), written);
    EXPECT_NE(fs::last_write_time(backup), old);
  }
}
