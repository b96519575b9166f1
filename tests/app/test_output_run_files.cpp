// The output run and the files around it: the old PDF and spool file are gone
// before the server is asked for a new one, a print entry touches no file, and
// the complete PDF's failures send nothing and give the window back.
#include "app_fixture.h"
#include "client/client_dirs.h"
#include "support/bytes_equal.h"
#include "support/simulated_time.h"

using namespace wb;
using namespace wb::test;

namespace {

class OutputFilesTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    server.Answer("SIMPLEGETJSON", {"{\"Order\":[{\"PrintName\":\"Rechnung 12\",\"PrintUID\":\"R:9\"}]}"});
    // The server looks at the folders as it gets a command, then writes its spool file.
    server.onWrite = [this](const std::string& command, const std::string&) {
      seenAtWrite.push_back(command + (Exists(PdfPath()) ? " pdf" : "") + (Exists(SpoolPath()) ? " spool" : ""));
      if (command != "PRINT") WriteBytes(SpoolPath(), "%PDF");
    };
    frm->DeleteOldFile = [this](const std::string& path) {
      deleted.push_back(path);
      return DeleteFileRetry(path);
    };
  }
  static bool Exists(const std::string& path) { return std::filesystem::exists(path); }
  std::string PdfPath() const {
    return GetShellFolder(platform::kCsidlDesktop) + "WerkbankQuery.Mehrfachausgabe" + platform::kPathDelimiter +
           "Rechnung 12 R9.pdf";
  }
  std::string SpoolPath() const {
    return application + "SPOOLER" + platform::kPathDelimiter + "PDFX" + platform::kPathDelimiter +
           "Rechnung 12 R9.pdf";
  }
  void Start(const std::string& items) {
    WriteEntries(items);
    frm->FormCreate();
    server.calls.clear();
    view.buttonTexts.clear();
  }
  void OldFilesLieAround() {
    WriteBytes(PdfPath(), "alte PDF");
    WriteBytes(SpoolPath(), "alte Spooldatei");
  }
  void ExpectWindowBack() {
    EXPECT_EQ(frm->BusyCount(), 0);
    EXPECT_TRUE(view.buttonEnabled);
    EXPECT_EQ(view.buttonText, "Los!");
  }

  std::vector<std::string> seenAtWrite;
  std::vector<std::string> deleted;
  SimulatedTime time;  // the runs' pauses pass on it, not on the wall's clock
};

}  // namespace

TEST_F(OutputFilesTest, OldPdfAndSpoolFileAreGoneBeforeThePdfCommands) {
  Start(Entry("Rechnung", "pdf"));
  OldFilesLieAround();
  frm->RunEntryOutput();
  OldFilesLieAround();
  frm->RunCompletePdf();
  EXPECT_EQ(seenAtWrite, (std::vector<std::string>{"CREATEPDF", "CURRENTPDF"}));
  EXPECT_EQ(deleted, (std::vector<std::string>{PdfPath(), SpoolPath(), PdfPath(), SpoolPath()}));
}

TEST_F(OutputFilesTest, APrintEntryDeletesNothing) {
  Start(Entry("Druck", "print"));
  OldFilesLieAround();
  frm->RunEntryOutput();
  EXPECT_EQ(seenAtWrite, std::vector<std::string>{"PRINT pdf spool"});
  EXPECT_TRUE(deleted.empty());
  EXPECT_BYTES_EQ(ReadBytes(PdfPath()), "alte PDF");
  EXPECT_BYTES_EQ(ReadBytes(SpoolPath()), "alte Spooldatei");
  EXPECT_EQ(server.Count("READ SIMPLEGETJSON"), 0);
  ExpectWindowBack();
}

TEST_F(OutputFilesTest, CompletePdfWithoutAVisibleOrderSendsAndDeletesNothing) {
  Start(Entry("a", "print"));
  OldFilesLieAround();
  for (const char* reply : {"", "{\"Order\":[]}", "{\"Order\":[{\"PrintName\":\" \",\"PrintUID\":\"/\"}]}"}) {
    server.Answer("SIMPLEGETJSON", {reply});
    frm->LinkLabel3AnchorClick();
    EXPECT_EQ(test::Messages().TakeShownTexts(), std::vector<std::string>{"Auftrag nicht sichtbar!"}) << reply;
    ExpectWindowBack();
  }
  EXPECT_TRUE(server.writes.empty());
  EXPECT_TRUE(deleted.empty());
  EXPECT_TRUE(Exists(PdfPath()) && Exists(SpoolPath()));
  EXPECT_TRUE(opener.opened.empty() && opener.shown.empty());
}

TEST_F(OutputFilesTest, CompletePdfAfterTheDatabaseChangedSendsNothing) {
  Start(Entry("a", "pdf"));
  OldFilesLieAround();
  server.Answer("DBPATH", {"/woanders/"});
  try {
    frm->LinkLabel3AnchorClick();
    FAIL() << "no error";
  } catch (const Exception& error) {
    EXPECT_EQ(std::string(error.what()), "Datenbank wurde gewechselt!\r\n" + database + "\r\n/woanders/");
  }
  EXPECT_EQ(server.calls, std::vector<std::string>{"READ DBPATH"});
  EXPECT_TRUE(deleted.empty());
  EXPECT_TRUE(opener.opened.empty() && opener.shown.empty());
  ExpectWindowBack();
  // The window is free for the next run.
  server.Answer("DBPATH", {database});
  frm->LinkLabel3AnchorClick();
  EXPECT_EQ(server.Count("WRITE CURRENTPDF"), 1);
}

// The entry goes to the server as a copy made through its JSON text: code-page
// characters side by side ("––", "‘’", the euro sign before "—") arrive as they are.
TEST_F(OutputFilesTest, TheCopySentToTheServerKeepsCodePageText) {
  const struct {
    const char* Stored;
    const char* Sent;
  } kNames[] = {{"A \x96\x96 B", "A \x96\x96 B"}, {"\x91Zitat\x92", "\x91Zitat\x92"}, {"\x80\x97", "\\u20ac\x97"}};
  for (const auto& name : kNames) {
    Start(Entry(name.Stored, "pdf"));
    server.writes.clear();
    frm->RunEntryOutput();
    ASSERT_EQ(server.writes.size(), 1u);
    EXPECT_NE(server.writes[0].second.find(std::string("\"Info\":\"") + name.Sent + "\""), std::string::npos)
        << server.writes[0].second;
  }
}
