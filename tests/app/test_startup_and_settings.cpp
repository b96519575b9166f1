// Start-up against the server, the database check and the remembered settings.
#include "app_fixture.h"
#include "client/client_dirs.h"
#include "client/fast_ini_file.h"
#include "entries/entries_file.h"
#include "platform/codepage.h"
#include "support/bytes_equal.h"

using namespace wb;
using namespace wb::test;

TEST_F(MainWindowTest, NoDatabaseClosesSilentlyWithoutAskingForTheInstallation) {
  server.Answer("DBPATH", {""});
  frm->FormCreate();
  EXPECT_EQ(view.closeRequests, 1);
  EXPECT_EQ(view.caption, "Mehrfachausgabe");
  EXPECT_EQ(server.Count("READ APPPATH"), 0);
  EXPECT_TRUE(test::Messages().TakeShownTexts().empty());
  EXPECT_FALSE(std::filesystem::exists(EntriesPath()));

  // The close writes -1 and the unchecked box.
  frm->FormClose();
  TFastIniFile settings(TLiveImportFrm::SettingsFilePath());
  EXPECT_EQ(settings.ReadNumber("Setup", "ItemIndex", 99), -1);
  EXPECT_FALSE(settings.ReadFlag("Setup", "OpenPDF", true));
}

// A desktop shortcut's start has no window: without a server its user would
// see nothing at all. The plain start stays silent.
TEST_F(MainWindowTest, ADirectStartWithoutServerSaysSoAndEndsWithAnError) {
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    bool told;
  };
  const Case cases[] = {
      {"window start", {}, false},
      {"shortcut", {"Lieferschein Kunde"}, true},
      {"import", {"neu.json", "U"}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingView startView;
    server.silent = true;
    TLiveImportFrm start(startView, server, opener, c.arguments);
    start.FormCreate();
    EXPECT_EQ(startView.closeRequests, 1);
    const auto texts = test::Messages().TakeShownTexts();
    if (c.told) {
      EXPECT_EQ(texts,
                std::vector<std::string>{Ansi(u8"Werkbank läuft nicht: kein Server der Werkbank hat geantwortet.\r\n"
                                              u8"Bitte starten Sie Werkbank und rufen Sie die Verknüpfung "
                                              u8"danach noch einmal auf.")});
      EXPECT_NE(start.ExitCode(), 0);
    } else {
      EXPECT_TRUE(texts.empty());
      EXPECT_EQ(start.ExitCode(), 0);
    }
  }
}

TEST_F(MainWindowTest, StartUpShowsTheDatabaseAndWritesTheExampleEntry) {
  frm->FormCreate();
  EXPECT_EQ(server.calls[0], "DETECT");
  EXPECT_EQ(view.caption, "Datenbank: " + database);
  EXPECT_EQ(frm->EntriesFilePath(), EntriesPath());
  ASSERT_EQ(view.rows.size(), 1u);
  EXPECT_EQ(view.rows[0], "[pdf] Beispiel: \xC4ndern Sie alles hier!  [Nicht benutzt]");
  EXPECT_EQ(view.selected, 0);
  EXPECT_TRUE(view.openChecked);  // no settings file: "Öffnen" is checked
  const std::string file = ReadBytes(EntriesPath());
  EXPECT_EQ(file.rfind("{\r\n  \"LogFileName\":\"<TMP>log.json\",\r\n  \"Items\":[\r\n", 0), 0u) << file;
  EXPECT_NE(file.find("\r\n"), std::string::npos);
  EXPECT_BYTES_EQ(ReadBytes(database + "Sonderdruck.V1/sdr.json.backup"), file);
  EXPECT_TRUE(test::Messages().TakeShownTexts().empty());
}

TEST_F(MainWindowTest, EntriesPathGetsItsDelimiter) {
  EXPECT_EQ(wb::EntriesFilePath("/daten"), "/daten/Sonderdruck.V1/sdr.json");
  EXPECT_EQ(wb::EntriesFilePath("/daten/"), "/daten/Sonderdruck.V1/sdr.json");
}

TEST_F(MainWindowTest, ChangedDatabaseStopsWithBothValues) {
  frm->FormCreate();
  server.Answer("DBPATH", {"/anders/"});
  try {
    frm->CheckDatabaseUnchanged();
    FAIL();
  } catch (const Exception& error) {
    EXPECT_EQ(std::string(error.what()), "Datenbank wurde gewechselt!\r\n" + database + "\r\n/anders/");
  }
  server.Answer("DBPATH", {""});  // a silent server differs too
  EXPECT_THROW(frm->CheckDatabaseUnchanged(), Exception);
  EXPECT_THROW(frm->SaveEntries(), Exception);
  EXPECT_TRUE(server.writes.empty());
}

TEST_F(MainWindowTest, RestoredIndexOutsideTheListKeepsTheFirstEntry) {
  WriteEntries(Entry("a", "pdf") + "," + Entry("b", "pdf") + "," + Entry("c", "pdf") + "," + Entry("d", "pdf") + "," +
               Entry("e", "pdf"));
  struct Case {
    int stored;
    int selected;
  };
  for (const Case& c : {Case{7, 0}, Case{-1, 0}, Case{3, 3}, Case{4, 4}, Case{5, 0}}) {
    {
      TFastIniFile settings(TLiveImportFrm::SettingsFilePath());
      settings.WriteNumber("Setup", "ItemIndex", c.stored);
      settings.WriteFlag("Setup", "OpenPDF", false);
      settings.Flush();
    }
    RecordingView fresh;
    TLiveImportFrm window(fresh, server, opener);
    window.FormCreate();
    EXPECT_EQ(fresh.selected, c.selected) << c.stored;
    EXPECT_FALSE(fresh.openChecked);
    EXPECT_TRUE(fresh.openEnabled);
  }
}

TEST_F(MainWindowTest, ClosingStoresSelectionAndCheckBox) {
  WriteEntries(Entry("a", "pdf") + "," + Entry("b", "print"));
  frm->FormCreate();
  view.selected = 1;
  view.openChecked = false;
  frm->FormClose();
  TFastIniFile settings(TLiveImportFrm::SettingsFilePath());
  EXPECT_EQ(settings.ReadNumber("Setup", "ItemIndex", 0), 1);
  EXPECT_FALSE(settings.ReadFlag("Setup", "OpenPDF", true));
}

// The settings file is the suite's temporary folder (GetClientTempDir("")) +
// "Sonderdruck.V1.LocalSetup.txt": per user, not per database. Written by hand
// here, read at the start, rewritten at the close.
TEST_F(MainWindowTest, TheSettingsFileLiesInTheSuitesTemporaryFolder) {
  const std::string path = GetClientTempDir("") + "Sonderdruck.V1.LocalSetup.txt";
  WriteBytes(path, "; von Hand\r\n[Setup]\r\nItemIndex=1\r\nOpenPDF=0\r\n");
  WriteEntries(Entry("a", "pdf") + "," + Entry("b", "pdf"));
  frm->FormCreate();
  EXPECT_EQ(view.selected, 1);
  EXPECT_FALSE(view.openChecked);
  view.selected = 0;
  view.openChecked = true;
  frm->FormClose();
  EXPECT_BYTES_EQ(ReadBytes(path), "; von Hand\r\n[Setup]\r\nItemIndex=0\r\nOpenPDF=1\r\n");
  // Nothing beside it: no other file of that name anywhere in the test's folders.
  int found = 0;
  for (const auto& file : std::filesystem::recursive_directory_iterator(env.Root()))
    found += file.path().filename() == "Sonderdruck.V1.LocalSetup.txt";
  EXPECT_EQ(found, 1);
}
