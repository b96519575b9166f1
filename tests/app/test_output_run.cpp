// The output run: which command goes out, what is deleted and awaited, what is
// opened, and the guards around it.
#include <deque>

#include "app/wait_for_file.h"
#include "app_fixture.h"
#include "client/client_dirs.h"
#include "platform/codepage.h"
#include "support/simulated_time.h"

using namespace wb;
using namespace wb::test;

namespace {

const char* kOrder = "{\"Order\":[{\"PrintName\":\"Angebot 4711\",\"PrintUID\":\"A/17\"}]}";

class OutputRunTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    server.Answer("SIMPLEGETJSON", {kOrder});
    // The server writes the PDF and then the spool file as soon as it gets a PDF command.
    server.onWrite = [this](const std::string& command, const std::string&) {
      if (command != "CREATEPDF" && command != "CURRENTPDF") return;
      pdfExistedAtSend = std::filesystem::exists(PdfPath());
      WriteBytes(PdfPath(), "%PDF");
      WriteBytes(SpoolPath(), "%PDF");
    };
  }
  // The desktop of the test's private home (the Wine prefix's desktop on Windows).
  std::string PdfPath() const {
    return GetShellFolder(platform::kCsidlDesktop) + "WerkbankQuery.Mehrfachausgabe" + platform::kPathDelimiter +
           "Angebot 4711 A17.pdf";
  }
  std::string SpoolPath() const { return application + "SPOOLER/PDFX/Angebot 4711 A17.pdf"; }
  void Start(const std::string& items) {
    WriteEntries(items);
    frm->FormCreate();
    server.calls.clear();
    view.buttonTexts.clear();
  }
  // The waits of a run pass on this clock, not on the wall's.
  SimulatedTime time;
  bool pdfExistedAtSend = false;
};

}  // namespace

TEST_F(OutputRunTest, PdfEntryCreatesNamedPdfWaitsAndOpens) {
  Start(Entry("Angebot", "PDF"));
  WriteBytes(PdfPath(), "old pdf");
  view.openChecked = true;
  frm->Button1Click();
  EXPECT_EQ(server.calls, (std::vector<std::string>{"READ DBPATH", "READ SIMPLEGETJSON", "WRITE CREATEPDF"}));
  ASSERT_EQ(server.writes.size(), 1u);
  std::unique_ptr<TWBCustomJSON> sent = TWBJSONText::Parse(server.writes[0].second);
  ASSERT_TRUE(sent);
  EXPECT_EQ(sent->StringByName("PDFFileName"), PdfPath());
  EXPECT_EQ(sent->StringByName("Info"), "Angebot");
  EXPECT_FALSE(pdfExistedAtSend);  // the old PDF went first
  EXPECT_EQ(view.buttonTexts, (std::vector<std::string>{"L\xF6schen", "Warten",
                                                        "\xD6"
                                                        "ffnen",
                                                        "Los!"}));
  EXPECT_EQ(opener.opened, std::vector<std::string>{PdfPath()});
  EXPECT_TRUE(opener.shown.empty());
  EXPECT_TRUE(view.buttonEnabled);
  EXPECT_EQ(frm->BusyCount(), 0);
  // The document's entry never carries the file name.
  EXPECT_EQ(frm->SelectedEntry()->StringByName("PDFFileName"), "");
}

TEST_F(OutputRunTest, UncheckedOpenShowsThePdfInItsFolder) {
  Start(Entry("Angebot", "pdf"));
  view.openChecked = false;
  frm->RunEntryOutput();
  EXPECT_TRUE(opener.opened.empty());
  EXPECT_EQ(opener.shown, std::vector<std::string>{PdfPath()});
}

TEST_F(OutputRunTest, PrintEntrySendsOnlyPrint) {
  Start(Entry("Druck", "print"));
  frm->RunEntryOutput();
  EXPECT_EQ(server.calls, (std::vector<std::string>{"READ DBPATH", "WRITE PRINT"}));
  // Nothing appears on the screen for a printout: the button says it went out.
  EXPECT_EQ(view.buttonTexts, (std::vector<std::string>{"\xDC"
                                                        "bergeben",
                                                        "Los!"}));
  EXPECT_TRUE(opener.opened.empty() && opener.shown.empty());
}

TEST_F(OutputRunTest, DestinationsThatCannotBeMadeHereSendNothing) {
  for (const char* destination : {"pdf ", "Extern", ""}) {
    Start(Entry("x", destination));
    frm->RunEntryOutput();
    EXPECT_EQ(test::Messages().TakeShownTexts(),
              std::vector<std::string>{"Dieser Eintrag kann nicht von hier erzeugt werden."})
        << destination;
    EXPECT_TRUE(server.writes.empty());
    EXPECT_EQ(frm->BusyCount(), 0);
  }
}

TEST_F(OutputRunTest, NoVisibleOrderSendsNothing) {
  for (const char* reply : {"", "{\"Order\":[]}", "{\"Order\":[{\"PrintName\":\"\",\"PrintUID\":\"\"}]}", "kaputt"}) {
    Start(Entry("x", "pdf"));
    server.Answer("SIMPLEGETJSON", {reply});
    frm->RunEntryOutput();
    EXPECT_EQ(test::Messages().TakeShownTexts(), std::vector<std::string>{"Auftrag nicht sichtbar!"}) << reply;
    EXPECT_TRUE(server.writes.empty());
  }
}

TEST_F(OutputRunTest, ChangedDatabaseRaisesAndRestoresTheWindow) {
  Start(Entry("x", "pdf"));
  server.Answer("DBPATH", {"/woanders/"});
  EXPECT_THROW(frm->RunEntryOutput(), Exception);
  EXPECT_TRUE(server.writes.empty());
  EXPECT_EQ(frm->BusyCount(), 0);
  EXPECT_TRUE(view.buttonEnabled);
  EXPECT_EQ(view.buttonText, "Los!");
}

TEST_F(OutputRunTest, AnOldPdfThatCannotBeDeletedStopsTheRun) {
  Start(Entry("x", "pdf"));
  frm->DeleteOldFile = [](const std::string&) { return false; };
  frm->RunEntryOutput();
  auto texts = test::Messages().TakeShownTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NE(texts[0].find(PdfPath()), std::string::npos);
  EXPECT_TRUE(server.writes.empty());
  EXPECT_TRUE(opener.opened.empty() && opener.shown.empty());
}

TEST_F(OutputRunTest, ASecondRunDuringTheWaitDoesNothing) {
  Start(Entry("x", "pdf"));
  server.onWrite = nullptr;  // the spool file never comes: the run waits
  view.openChecked = false;
  time.At(10, [&] {
    frm->DCCKeyDown(13);
    frm->LinkLabel3AnchorClick();
    frm->SaveEntries();  // skipped while the run is busy
  });
  frm->RunEntryOutput();
  EXPECT_EQ(server.Count("WRITE CREATEPDF"), 1);
  EXPECT_EQ(server.Count("WRITE CURRENTPDF"), 0);
  EXPECT_EQ(time.NowMs(), kPdfWaitMs);
  // The PDF never came: nothing is shown, and the message names it.
  EXPECT_TRUE(opener.opened.empty() && opener.shown.empty());
  auto texts = test::Messages().TakeShownTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NE(texts[0].find(PdfPath()), std::string::npos);
}

// The window is closed while the run waits for the server's PDF: the program
// is ending, so the run ends at once and neither opens nor shows a PDF that
// is not there yet.
TEST_F(OutputRunTest, ClosingTheWindowDuringTheWaitOpensNothing) {
  Start(Entry("Angebot", "pdf"));
  server.onWrite = nullptr;
  view.openChecked = true;
  time.At(500, [&] { frm->FormClose(); });
  frm->RunEntryOutput();
  EXPECT_EQ(server.Count("WRITE CREATEPDF"), 1);
  EXPECT_EQ(time.NowMs(), 500);
  EXPECT_TRUE(opener.opened.empty());
  EXPECT_TRUE(opener.shown.empty());
  EXPECT_EQ(frm->BusyCount(), 0);
  EXPECT_EQ(view.buttonText, "Los!");
  EXPECT_TRUE(view.buttonEnabled);
}

// The application is told to end some other way (the session ends) during
// the complete PDF's wait: the same.
TEST_F(OutputRunTest, QuittingDuringTheCompletePdfsWaitOpensNothing) {
  Start(Entry("Angebot", "print"));
  server.onWrite = nullptr;
  view.openChecked = false;
  time.QuitAt(500);
  frm->RunCompletePdf();
  EXPECT_EQ(server.Count("WRITE CURRENTPDF"), 1);
  EXPECT_EQ(time.NowMs(), 500);
  EXPECT_TRUE(opener.opened.empty());
  EXPECT_TRUE(opener.shown.empty());
}

// The server took the command but cannot write the PDF (a full disk, no
// rights): its spool signal may come all the same. Opening a file that does
// not exist would show the user nothing.
TEST_F(OutputRunTest, APdfThatNeverAppearsIsReportedNotOpened) {
  struct Case {
    const char* name;
    bool complete;  // the complete-PDF link instead of "Los!"
    bool openChecked;
  };
  const Case cases[] = {{"open", false, true}, {"show in folder", false, false}, {"complete PDF", true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start(Entry("x", "pdf"));
    opener.opened.clear();
    opener.shown.clear();
    server.onWrite = [this](const std::string&, const std::string&) { WriteBytes(SpoolPath(), "%PDF"); };
    view.openChecked = c.openChecked;
    if (c.complete) frm->LinkLabel3AnchorClick();
    else frm->Button1Click();
    EXPECT_TRUE(opener.opened.empty() && opener.shown.empty());
    EXPECT_EQ(test::Messages().TakeShownTexts(),
              std::vector<std::string>{"Die PDF-Datei\r\n" + PdfPath() +
                                       Ansi(u8"\r\nist nicht entstanden: Werkbank hat sie nicht geliefert. Bitte "
                                            u8"prüfen Sie, ob Werkbank läuft und den Auftrag ausgeben kann, und "
                                            u8"versuchen Sie es noch einmal.")});
    EXPECT_EQ(view.buttonText, "Los!");
    EXPECT_TRUE(view.buttonEnabled);
  }
}

// "Datenbank wurde gewechselt!" is for a server that names another database;
// one that does not answer at all is gone, and the user is told so.
TEST_F(OutputRunTest, AStoppedServerIsReportedAsGoneNotAsAnotherDatabase) {
  struct Case {
    const char* name;
    bool silent;
    std::deque<std::string> databaseAnswer;
    std::string expectedStart;
  };
  const Case cases[] = {
      {"no answer", true, {}, "Die Verbindung zu Werkbank ist unterbrochen"},
      {"another folder", false, {"/woanders/"}, "Datenbank wurde gewechselt!\r\n"},
      {"an empty answer", false, {""}, "Datenbank wurde gewechselt!\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start(Entry("x", "pdf"));
    server.silent = c.silent;
    server.Answer("DBPATH", c.databaseAnswer);
    std::string message;
    try {
      frm->RunEntryOutput();
    } catch (const Exception& error) {
      message = error.what();
    }
    EXPECT_EQ(message.rfind(c.expectedStart, 0), 0u) << message;
    EXPECT_TRUE(server.writes.empty());
    server.silent = false;
    server.Answer("DBPATH", {database});
  }
}

TEST_F(OutputRunTest, PickingAnEntryFollowsItsDestination) {
  Start(Entry("a", "print") + "," + Entry("b", "pdf"));
  view.selected = 0;
  frm->DCCChange();
  EXPECT_FALSE(view.openEnabled);
  view.selected = 1;
  frm->DCCChange();
  EXPECT_TRUE(view.openEnabled);
  view.openChecked = false;
  view.selected = -1;
  frm->DCCChange();
  EXPECT_TRUE(view.openEnabled);
}

// "Öffnen" is enabled exactly for a PDF entry, also when the logic selects the
// entry (at start, from the settings, after a save), not only on the user's pick.
TEST_F(OutputRunTest, OpenFollowsTheSelectedEntryAtStartAndAfterASave) {
  const std::string settings = TLiveImportFrm::SettingsFilePath();
  for (int remembered : {0, 1}) {
    SCOPED_TRACE(remembered);
    WriteBytes(settings, "[Setup]\r\nItemIndex=" + std::to_string(remembered) + "\r\n");
    view.openEnabled = true;
    Start(Entry("a", "print") + "," + Entry("b", "pdf"));
    EXPECT_EQ(view.selected, remembered);
    EXPECT_EQ(view.openEnabled, remembered == 1);
    frm->SaveEntries();
    EXPECT_EQ(view.openEnabled, remembered == 1);
    frm = std::make_unique<TLiveImportFrm>(view, server, opener);
    frm->PrintHandedOverMs = 0;
  }
}

TEST_F(OutputRunTest, CompletePdfSendsOnlyTheFileNameAndHonoursADisabledCheckBox) {
  Start(Entry("a", "print"));
  view.openChecked = true;
  view.openEnabled = false;
  frm->LinkLabel3AnchorClick();
  ASSERT_EQ(server.writes.size(), 1u);
  EXPECT_EQ(server.writes[0].first, "CURRENTPDF");
  std::unique_ptr<TWBCustomJSON> sent = TWBJSONText::Parse(server.writes[0].second);
  ASSERT_TRUE(sent);
  EXPECT_EQ(sent->ChildCount(), 1);
  EXPECT_EQ(sent->StringByName("PDFFileName"), PdfPath());
  EXPECT_EQ(opener.opened, std::vector<std::string>{PdfPath()});
}

TEST(WaitForFile, ReturnsAfterThePauseOnceTheFileIsThereAndGivesUpAfterTheTimeOut) {
  TempEnv env;
  const std::string folder = env.Dir("spool");
  {
    SimulatedTime time;
    EXPECT_FALSE(WaitForFile(folder + "never.pdf", 300));
    EXPECT_EQ(time.NowMs(), 300);
  }
  {
    SimulatedTime time;
    time.At(100, [&] { std::ofstream(folder + "soon.pdf") << "x"; });
    EXPECT_TRUE(WaitForFile(folder + "soon.pdf", kPdfWaitMs));
    EXPECT_EQ(time.NowMs(), 100 + kAfterFilePauseMs);
  }
  {
    SimulatedTime time;
    EXPECT_TRUE(WaitForFile(folder + "soon.pdf", kPdfWaitMs));  // already there: only the pause
    EXPECT_EQ(time.NowMs(), kAfterFilePauseMs);
  }
}
