// "Vorschau als PDF": the request the server gets is the PDF run's request for
// the same entry with "Destination" "pdf"; the PDF is opened; nothing stored changes.
#include "app/entry_preview.h"
#include "app_fixture.h"
#include "client/client_dirs.h"
#include "platform/codepage.h"
#include "support/bytes_equal.h"

using namespace wb;
using namespace wb::test;

namespace {

const char* kOrder = "{\"Order\":[{\"PrintName\":\"Angebot 4711\",\"PrintUID\":\"A/17\"}]}";

std::string StoredEntry(const std::string& destination) {
  return "{\"Info\":\"<b>Lieferschein</b> \\\"Lager\\\"\",\"Filter.POT\":\"LIEFERSCHEIN\",\"Destination\":\"" +
         destination +
         "\",\"SuperLayoutname\":\"Lieferschein\",\"Defaultprinter\":\"Laser\",\"DefaultprinterBinName\":\"Fach 1\","
         "\"DuplexType\":\"vertical\",\"Copies\":2,\"Forbidden\":false,\"Eigenes\":[1,\"x\"],\"UID\":\"U-1\"}";
}

class EntryPreviewTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    server.Answer("SIMPLEGETJSON", {kOrder});
    // The server writes the PDF it was asked for, then its spool file.
    server.onWrite = [this](const std::string& command, const std::string& data) {
      if (command != "CREATEPDF") return;
      const std::string pdf = TWBJSONText::Parse(data)->StringByName("PDFFileName");
      EXPECT_TRUE(WriteBytes(pdf, "%PDF")) << "the server's PDF could not be written: " << pdf;
      EXPECT_TRUE(WriteBytes(application + "SPOOLER/PDFX/Angebot 4711 A17.pdf", "%PDF"));
    };
  }
  // The request of one run of the only entry of a fresh start.
  std::pair<std::string, std::string> RequestOf(const std::string& entry, bool preview) {
    WriteEntries(entry);
    frm = std::make_unique<TLiveImportFrm>(view, server, opener);
    frm->FormCreate();
    view.SelectIndex(0);
    server.writes.clear();
    if (preview) RunEntryPreview(*frm, nullptr);
    else frm->RunEntryOutput();
    EXPECT_EQ(server.writes.size(), 1u);
    return server.writes.empty() ? std::pair<std::string, std::string>{} : server.writes[0];
  }
};

TEST_F(EntryPreviewTest, RequestIsThePdfRunsRequestAndThePdfOpens) {
  const auto pdfRun = RequestOf(StoredEntry("pdf"), false);
  view.openChecked = false;  // the preview opens its PDF all the same
  opener.opened.clear();
  const auto preview = RequestOf(StoredEntry("Print"), true);
  EXPECT_EQ(preview.first, "CREATEPDF");
  EXPECT_EQ(preview, pdfRun);
  EXPECT_NE(preview.second.find("\"Destination\":\"pdf\",\"SuperLayoutname\""), std::string::npos)
      << "in its place: " << preview.second;
  const std::string pdf = GetShellFolder(platform::kCsidlDesktop) + "WerkbankQuery.Mehrfachausgabe" +
                          platform::kPathDelimiter + "Angebot 4711 A17.pdf";
  EXPECT_EQ(opener.opened, std::vector<std::string>{pdf}) << [] {
    std::string shown = "messages shown:";
    for (const std::string& text : test::Messages().TakeShownTexts()) shown += "\n  " + text;
    return shown;
  }();
}

TEST_F(EntryPreviewTest, TheStoredEntryIsNotChanged) {
  WriteEntries(StoredEntry("print"));
  frm->FormCreate();
  const std::string before = ReadBytes(EntriesPath());
  view.SelectIndex(0);
  RunEntryPreview(*frm, nullptr);
  EXPECT_EQ(server.Count("WRITE CREATEPDF"), 1);
  EXPECT_BYTES_EQ(ReadBytes(EntriesPath()), before);
  EXPECT_EQ(frm->SelectedEntry()->StringByName("Destination"), "print");
  EXPECT_EQ(frm->SelectedEntry()->MemberByName("PDFFileName"), nullptr);
}

TEST_F(EntryPreviewTest, OnlyPrintEntriesHaveAPreview) {
  for (const char* destination : {"pdf", "Extern", "print "}) {
    SCOPED_TRACE(destination);
    WriteEntries(StoredEntry(destination));
    frm = std::make_unique<TLiveImportFrm>(view, server, opener);
    frm->FormCreate();
    view.SelectIndex(0);
    server.writes.clear();
    test::Messages().TakeShownTexts();
    RunEntryPreview(*frm, nullptr);
    EXPECT_TRUE(server.writes.empty());
    EXPECT_EQ(test::Messages().TakeShownTexts(),
              std::vector<std::string>{Ansi(u8"Eine Vorschau als PDF gibt es nur für Einträge, die drucken.")});
  }
  view.SelectIndex(-1);
  RunEntryPreview(*frm, nullptr);  // nothing selected: nothing happens
  EXPECT_TRUE(test::Messages().TakeShownTexts().empty());
}

}  // namespace
