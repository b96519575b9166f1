// The overview page against its exact bytes: the fixed blocks, each sentence
// piece in its place and order, escaping of every inserted value, the layout
// file checks, the file's name and life.
#include "app/main_window_features.h"
#include "app/overview_page.h"
#include "app_fixture.h"
#include "client/client_dirs.h"
#include "editor_fakes.h"
#include "entries/entry_check.h"
#include "platform/codepage.h"
#include "support/bytes_equal.h"

using namespace wb;
using namespace wb::test;

namespace {

// The fixed markup, written out here once more on purpose: the page's bytes
// must not drift.
const std::string kHead =
    "<html><head><title>\xDC"
    "bersicht</title>\r\n"
    "<meta http-equiv=\"refresh\" content=\"30\" >\r\n"
    "<meta http-equiv=\"Cache-control\" content=\"no-cache\">\r\n"
    "</head>\r\n"
    "<body bgcolor=\"#ffffff\" leftmargin=5 topmargin=5 rightmargin=5 bottommargin=5>\r\n"
    "<font size=3 color=\"#000000\" face=\"Tahoma\">\r\n"
    "<div><table width=\"100%\" border=1 cellpadding=1 bordercolor=\"#000000\" cellspacing=3 style=\"border-width: "
    "0px;\">\r\n"
    "<tr valign=top>\r\n"
    "<td width=25% bgcolor=\"#ff9900\" style=\"border-width : 1px; border-color: #c0c0c0; border-style: solid; "
    "background-color: #ff9900;\"><font size=3 color=\"#000000\" face=\"Tahoma\">\r\n"
    "<div><font color=\"#ffffff\"><b>Name</b></font></div>\r\n"
    "</font>\r\n"
    "</td>\r\n"
    "<td width=35% bgcolor=\"#ff9900\" style=\"border-width : 1px; border-color: #c0c0c0; border-style: solid; "
    "background-color: #ff9900;\"><font size=3 color=\"#000000\" face=\"Tahoma\">\r\n"
    "<div><font color=\"#ffffff\"><b>Aktion wird ausgef\xFChrt, wenn:</b></font></div>\r\n"
    "</font>\r\n"
    "</td>\r\n"
    "<td width=35% bgcolor=\"#ff9900\" style=\"border-width : 1px; border-color: #c0c0c0; border-style: solid; "
    "background-color: #ff9900;\"><font size=3 color=\"#000000\" face=\"Tahoma\">\r\n"
    "<div><font color=\"#ffffff\"><b>Aktion f\xFChrt aus:</b></font></div>\r\n"
    "</font>\r\n"
    "</td>\r\n"
    "</tr>\r\n";  // CR LF between the block's lines, and one after the block
const std::string kFoot = "</table>\r\n</div>\r\n</font>         \r\n</body></html>            \r\n";

std::string Folders(const std::string& database, const std::string& application) {
  return "<font size=3 color=\"#000000\" face=\"Tahoma\">Die Datenbank liegt hier:<b> " + database +
         "</font></b><br>\r\n"
         "<font size=3 color=\"#000000\" face=\"Tahoma\">Werkbank ist hier installiert:<b> " +
         application + "</font></b><br>\r\n";
}

std::string Cell(const char* width, const std::string& content) {
  return std::string("<td width=") + width +
         " style=\"border-width : 1px; border-color: #c0c0c0; border-style: solid;\"><font size=3 "
         "color=\"#000000\" face=\"Tahoma\">\r\n<div>" +
         content + "</div>\r\n</font>\r\n</td>\r\n";
}

std::string Row(const std::string& col1, const std::string& col2, const std::string& col3) {
  return "<tr valign=top>\r\n" + Cell("25%", col1) + Cell("35%", col2) + Cell("35%", col3) + "</tr>\r\n\r\n";
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

const std::string kRed = "<font color=#ff3300 </font>";
const std::string kBlack = "<font color=#000000 </font>";

class OverviewPageTest : public MainWindowTest {
 protected:
  // The page for these entries, with the layouts in the set existing.
  std::string Page(const std::vector<std::string>& entries, const std::set<std::string>& layouts = {}) {
    std::vector<std::unique_ptr<TWBCustomJSON>> parsed;
    TOverviewSource source;
    source.DatabaseFolder = "D:\\Daten\\";
    source.ApplicationFolder = "C:\\Werkbank\\";
    for (const std::string& json : entries) {
      parsed.push_back(TWBJSONText::Parse(json));
      source.Entries.push_back(parsed.back().get());
    }
    source.LayoutExists = [&](const std::string& name) {
      asked.push_back(name);
      return layouts.count(name) > 0;
    };
    TStringList blocks;
    BuildOverviewPage(source, blocks);
    return blocks.Text();
  }
  std::string Around(const std::string& rows) {
    return kHead + Folders("D:\\Daten\\", "C:\\Werkbank\\") + rows + kFoot;
  }
  std::vector<std::string> asked;
};

TEST_F(OverviewPageTest, EmptyListHasHeadFoldersAndFootOnly) { EXPECT_BYTES_EQ(Page({}), Around("")); }

TEST_F(OverviewPageTest, PrintEntryWithMissingLayoutListsSixActionLinesInOrder) {
  const std::string page =
      Page({"{\"Info\":\"Etiketten\",\"Filter.POT\":\"RECHNUNG\",\"Filter.Output\":\"print\","
            "\"Destination\":\"print\",\"SuperLayoutname\":\"Etikett\",\"LabelPrinter\":\"top\","
            "\"Defaultprinter\":\"Laser\",\"DefaultprinterBinName\":\"Fach 2\"}"});
  const std::string col2 =
      Lines({"- Wenn Dokument vom Typ <b>RECHNUNG</b> ist<br>", "- Wenn das Ziel <b>print</b> ist"});
  const std::string col3 = Lines({
      "Das Ziel ist <b>print</b><br>",
      "Folgendes Layout wird daf\xFCr verwendet: <b>Etikett</b><br>",
      kRed + "Warnung: Das Layout <b>Etikett</b> wurde nicht gefunden" + kBlack + "<br>",
      "Es wird in folgende Bereiche gedruckt: <b>top</b><br>",
      "Als Drucker wird <b>Laser</b> verwendet<br>",
      "Es wird aus dem Schacht <b>Fach 2</b> gedruckt<br>",
  });
  EXPECT_EQ(page, Around(Row("Etiketten", col2, col3)));
  EXPECT_EQ(asked, std::vector<std::string>{"Etikett"});
}

TEST_F(OverviewPageTest, ConditionColumnWithLayoutFilter) {
  const std::string missing = Page({"{\"Filter.LayoutName\":\"Rechnung\",\"Destination\":\"Extern\"}"});
  EXPECT_NE(missing.find(Lines({"- Wenn Dokument dieses Layout verwendet: <b>Rechnung</b><br>",
                                kRed + "Warnung: Das Layout <b>Rechnung</b> wurde nicht gefunden" + kBlack + "<br>",
                                "- Wenn das Ziel <b></b> ist"})),
            std::string::npos);
  const std::string found = Page({"{\"Filter.LayoutName\":\"Rechnung\",\"Destination\":\"Extern\"}"}, {"Rechnung"});
  EXPECT_NE(found.find(
                "<div>" +
                Lines({"- Wenn Dokument dieses Layout verwendet: <b>Rechnung</b><br>", "- Wenn das Ziel <b></b> ist"}) +
                "</div>"),
            std::string::npos);
}

TEST_F(OverviewPageTest, ActionColumnCases) {
  struct Case {
    const char* name;
    std::string entry;
    std::vector<std::string> col3;
  };
  const Case cases[] = {
      {"pdf with printer and bin: neither is named",
       "{\"Destination\":\"pdf\",\"SuperLayoutname\":\"Rechnung\",\"Defaultprinter\":\"Laser\","
       "\"DefaultprinterBinName\":\"Fach 1\"}",
       {"Das Ziel ist <b>pdf</b><br>", "Folgendes Layout wird daf\xFCr verwendet: <b>Rechnung</b><br>",
        "Es wird in folgende Bereiche gedruckt: <b></b><br>"}},
      {"PDF upper case counts as not pdf",
       "{\"Destination\":\"PDF\",\"Defaultprinter\":\"Laser\",\"DefaultprinterBinName\":\"Fach 1\"}",
       {"Das Ziel ist <b>PDF</b><br>", kRed + "Es wurde kein Layout festgelegt</b><br>" + kBlack,
        "Es wird in folgende Bereiche gedruckt: <b></b><br>", "Als Drucker wird <b>Laser</b> verwendet<br>",
        "Es wird aus dem Schacht <b>Fach 1</b> gedruckt<br>"}},
      {"Extern without ServerExeName",
       "{\"Destination\":\"Extern\",\"SuperLayoutname\":\"Rechnung\",\"Defaultprinter\":\"Laser\"}",
       {"Das Ziel ist <b>Extern</b><br>", "Es wird folgendes Programm aufgerufen: <b><br></b><br>"}},
      {"Extern with its program",
       "{\"Destination\":\"Extern\",\"ServerExeName\":\"C:\\\\Tools\\\\export.exe\"}",
       {"Das Ziel ist <b>Extern</b><br>",
        "Es wird folgendes Programm aufgerufen: <b><br>C:\\Tools\\export.exe</b><br>"}},
      {"extern lower case is not Extern",
       "{\"Destination\":\"extern\",\"ServerExeName\":\"x.exe\"}",
       {"Das Ziel ist <b>extern</b><br>", kRed + "Es wurde kein Layout festgelegt</b><br>" + kBlack,
        "Es wird in folgende Bereiche gedruckt: <b></b><br>"}},
      {"print with bin but no printer",
       "{\"Destination\":\"print\",\"SuperLayoutname\":\"Rechnung\",\"DefaultprinterBinName\":\"Rolle\"}",
       {"Das Ziel ist <b>print</b><br>", "Folgendes Layout wird daf\xFCr verwendet: <b>Rechnung</b><br>",
        "Es wird in folgende Bereiche gedruckt: <b></b><br>", "Es wird aus dem Schacht <b>Rolle</b> gedruckt<br>"}},
  };
  for (const Case& c : cases) {
    EXPECT_BYTES_EQ(Page({c.entry}, {"Rechnung"}),
                    Around(Row("", Lines({"- Wenn das Ziel <b></b> ist"}), Lines(c.col3))))
        << c.name;
  }
}

TEST_F(OverviewPageTest, NameColumnIsPlainTextWithTheSwitchedOffNote) {
  const std::string page =
      Page({"{\"Info\":\"<IMG src=\\\"idx:1\\\"> <b>Lieferschein</b>\",\"Forbidden\":true,\"Destination\":\"Extern\"}",
            "{\"Info\":\"Zweiter\",\"Forbidden\":false,\"Destination\":\"Extern\"}"});
  EXPECT_NE(page.find("<div>Lieferschein<br>" + kRed + "Dieser Eintrag wird nicht benutzt </div>"), std::string::npos);
  EXPECT_NE(page.find("<div>Zweiter</div>"), std::string::npos);
  // Rows follow the order given.
  EXPECT_LT(page.find("Lieferschein"), page.find("Zweiter"));
}

TEST_F(OverviewPageTest, InsertedValuesAreEscapedAndPlaceholdersReplacedOnce) {
  const std::string page =
      Page({"{\"Info\":\"A &amp; B [COL3] [col2]\",\"Filter.POT\":\"<script>alert(1)</script>\","
            "\"Filter.Output\":\"\\\"x\\\" & y\",\"Destination\":\"print\",\"SuperLayoutname\":\"L<1>\","
            "\"Defaultprinter\":\"Drucker \\\"Flur\\\" <2>\",\"DefaultprinterBinName\":\"[COL1]\"}"});
  const std::string col1 = "A &amp; B [COL3] [col2]";
  const std::string col2 = Lines({"- Wenn Dokument vom Typ <b>&lt;script&gt;alert(1)&lt;/script&gt;</b> ist<br>",
                                  "- Wenn das Ziel <b>&quot;x&quot; &amp; y</b> ist"});
  const std::string col3 = Lines({
      "Das Ziel ist <b>print</b><br>",
      "Folgendes Layout wird daf\xFCr verwendet: <b>L&lt;1&gt;</b><br>",
      kRed + "Warnung: Das Layout <b>L&lt;1&gt;</b> wurde nicht gefunden" + kBlack + "<br>",
      "Es wird in folgende Bereiche gedruckt: <b></b><br>",
      "Als Drucker wird <b>Drucker &quot;Flur&quot; &lt;2&gt;</b> verwendet<br>",
      "Es wird aus dem Schacht <b>[COL1]</b> gedruckt<br>",
  });
  EXPECT_EQ(page, Around(Row(col1, col2, col3)));
  // The layout is looked up by its name as stored, not as shown.
  EXPECT_EQ(asked, std::vector<std::string>{"L<1>"});
}

TEST_F(OverviewPageTest, FolderNamesAreEscapedToo) {
  TOverviewSource source;
  source.DatabaseFolder = "/srv/a&b<c>/";
  source.ApplicationFolder = "/opt/\"w\"/";
  source.LayoutExists = [](const std::string&) { return true; };
  TStringList blocks;
  BuildOverviewPage(source, blocks);
  EXPECT_BYTES_EQ(blocks.Text(), kHead + Folders("/srv/a&amp;b&lt;c&gt;/", "/opt/&quot;w&quot;/") + kFoot);
}

TEST_F(OverviewPageTest, LayoutFilesAreFoundWithoutRegardToCase) {
  WriteBytes(database + "Etikett_SUPERLAYOUT.DA1", "");
  WriteBytes(database + "rechnung_superlayout.da1", "");
  std::filesystem::create_directories(database + "Ordner_SUPERLAYOUT.DA1");
  const std::pair<std::string, bool> cases[] = {
      {"Etikett", true},  {"ETIKETT", true},  {"Rechnung", true},
      {"Angebot", false}, {"Ordner", false},  // a folder is no layout file
      {"*", false},       {"Etik?tt", false},
  };
  for (const auto& [name, exists] : cases) EXPECT_EQ(LayoutFileExists(database, name), exists) << name;
}

TEST_F(OverviewPageTest, TheLinkWritesOpensAndTheWindowDeletesThePage) {
  WriteEntries(Entry("Angebot", "pdf", true, "U-1") + "," + Entry("Druck", "print"));
  frm->FormCreate();
  AttachMainWindowFeatures(*frm, nullptr);
  frm->LinkLabel2AnchorClick();

  const std::string expectedPath = env.Tmp().string() + "/WBTempDir/" + MakeSafeFileName(database, false) + ".html";
  EXPECT_EQ(frm->OverviewFile(), expectedPath);
  EXPECT_EQ(opener.withProgram, std::vector<std::string>{expectedPath});
  // The file byte for byte, rows in list order (the print entry first).
  const std::string noLayout = kRed + "Es wurde kein Layout festgelegt</b><br>" + kBlack;
  const std::string channel = Lines({"- Wenn das Ziel <b></b> ist"});
  EXPECT_BYTES_EQ(
      ReadBytes(expectedPath),
      kHead + Folders(database, application) +
          Row("Druck", channel,
              Lines({"Das Ziel ist <b>print</b><br>", noLayout, "Es wird in folgende Bereiche gedruckt: <b></b><br>",
                     // the entry check's finding: the entry has no "Copies"
                     kRed + "Warnung: Die Anzahl der Kopien ist 0, es wird also nichts gedruckt" + kBlack + "<br>"})) +
          Row("Angebot<br>" + kRed + "Dieser Eintrag wird nicht benutzt ", channel,
              Lines({"Das Ziel ist <b>pdf</b><br>", noLayout, "Es wird in folgende Bereiche gedruckt: <b></b><br>"})) +
          kFoot);
  frm->FormDestroy();
  EXPECT_FALSE(std::filesystem::exists(expectedPath));
}

TEST(OverviewFilePath, DatabaseFolderAsFileName) {
  TempEnv env;
  EXPECT_EQ(OverviewFilePath("C:\\Daten\\Firma 1\\"), env.Tmp().string() + "/WBTempDir/CDatenFirma 1.html");
  EXPECT_EQ(OverviewFilePath("/srv/daten/"), env.Tmp().string() + "/WBTempDir/srvdaten.html");
}

TEST_F(OverviewPageTest, CheckFindingsAreWarningLinesInTheirRowOnly) {
  const std::vector<std::string> entries = {
      "{\"Info\":\"Sauber\",\"Destination\":\"pdf\",\"SuperLayoutname\":\"Rechnung\",\"UID\":\"U-1\"}",
      "{\"Info\":\"Flur <1>\",\"Destination\":\"print\",\"SuperLayoutname\":\"Etikett\","
      "\"Defaultprinter\":\"Flur \\\"2\\\"\",\"Copies\":0,\"UID\":\"U-2\"}"};
  const std::string withoutCheck = Page(entries, {"Rechnung"});
  std::vector<std::unique_ptr<TWBCustomJSON>> parsed;
  TEntryCheckSource check;
  for (const std::string& json : entries) {
    parsed.push_back(TWBJSONText::Parse(json));
    check.Entries.push_back(parsed.back().get());
  }
  check.Printers = ParseOfferedPrinters("{\"Printers\":[{\"Name\":\"Laser\",\"Bins\":[]}]}");
  check.LayoutExists = [](const std::string& name) { return name == "Rechnung"; };
  TOverviewSource source;
  source.DatabaseFolder = "D:\\Daten\\";
  source.ApplicationFolder = "C:\\Werkbank\\";
  source.Entries = check.Entries;
  source.LayoutExists = check.LayoutExists;
  source.Findings = CheckEntries(check);
  ASSERT_EQ(source.Findings.size(), 3u);  // the layout, the printer, the copies
  TStringList blocks;
  BuildOverviewPage(source, blocks);
  const std::string col3 = Lines({
      "Das Ziel ist <b>print</b><br>",
      "Folgendes Layout wird daf\xFCr verwendet: <b>Etikett</b><br>",
      kRed + "Warnung: Das Layout <b>Etikett</b> wurde nicht gefunden" + kBlack + "<br>",
      "Es wird in folgende Bereiche gedruckt: <b></b><br>",
      "Als Drucker wird <b>Flur &quot;2&quot;</b> verwendet<br>",
      kRed +
          "Warnung: Den Drucker \x84"
          "Flur &quot;2&quot;\x93 bietet der Server nicht an" +
          kBlack + "<br>",
      kRed + "Warnung: Die Anzahl der Kopien ist 0, es wird also nichts gedruckt" + kBlack + "<br>",
  });
  const std::string flurRow = Row("Flur", Lines({"- Wenn das Ziel <b></b> ist"}), col3);
  const std::string page = blocks.Text();
  EXPECT_NE(page.find(flurRow), std::string::npos) << page;
  // The clean entry's row, and the page around the rows, are as without the check.
  EXPECT_EQ(page.substr(0, page.find(flurRow)), withoutCheck.substr(0, page.find(flurRow)));
  EXPECT_EQ(page.substr(page.find(flurRow) + flurRow.size()), Around("").substr(Around("").size() - kFoot.size()));
  EXPECT_NE(withoutCheck.find("Als Drucker wird <b>Flur &quot;2&quot;</b> verwendet<br>\r\n</div>"), std::string::npos);
}

}  // namespace
