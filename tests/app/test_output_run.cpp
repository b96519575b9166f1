// The output run: which command goes out, what is deleted and awaited, what is
// opened, and the guards around it.
#include "app/wait_for_file.h"
#include "app_fixture.h"
#include "client/client_dirs.h"
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
    // The server writes the spool file as soon as it gets a PDF command.
    server.onWrite = [this](const std::string& command, const std::string&) {
      if (command == "CREATEPDF" || command == "CURRENTPDF") WriteBytes(SpoolPath(), "%PDF");
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
  EXPECT_FALSE(std::filesystem::exists(PdfPath()));  // the old PDF went first
  EXPECT_EQ(view.buttonTexts, (std::vector<std::string>{"L\xF6schen", "Warten", "\xD6" "ffnen", "Los!"}));
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
  EXPECT_EQ(view.buttonTexts, std::vector<std::string>{"Los!"});
  EXPECT_TRUE(opener.opened.empty() && opener.shown.empty());
}

TEST_F(OutputRunTest, DestinationsThatCannotBeMadeHereSendNothing) {
  for (const char* destination : {"pdf ", "Extern", ""}) {
    Start(Entry("x", destination));
    frm->RunEntryOutput();
    EXPECT_EQ(MessageBoxes::TakeShownTexts(),
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
    EXPECT_EQ(MessageBoxes::TakeShownTexts(), std::vector<std::string>{"Auftrag nicht sichtbar!"}) << reply;
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
  auto texts = MessageBoxes::TakeShownTexts();
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
  // After a time-out the run still shows the PDF it asked for.
  EXPECT_EQ(opener.shown, std::vector<std::string>{PdfPath()});
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
