// The entry list's context menu: its items for the selection, the export
// through the save dialog and the question before replacing, the preview.
#include "app/entry_menu.h"
#include "app/save_file_dialog.h"
#include "app_fixture.h"
#include "client/client_dirs.h"
#include "entries/entries_export.h"
#include "entries/entries_file.h"
#include "platform/codepage.h"
#include "support/bytes_equal.h"

using namespace wb;
using namespace wb::test;

namespace {

class EntryMenuTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    SaveFileDialogs::TakeAskedDefaults();
    WriteEntries(Entry("Druck", "print", false, "U-1") + "," + Entry("<b>PDF</b>", "pdf", false, "U-2"));
    frm->FormCreate();
  }
  std::vector<bool> Enabled() {
    std::vector<bool> enabled;
    for (const TEntryMenuItem& item : EntryMenuItems(*frm)) enabled.push_back(item.Enabled);
    return enabled;
  }
};

TEST_F(EntryMenuTest, ItemsFollowTheSelection) {
  const std::vector<TEntryMenuItem> items = EntryMenuItems(*frm);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(platform::AnsiToUtf8(items[0].Text), "Eintrag exportieren …");
  EXPECT_EQ(platform::AnsiToUtf8(items[1].Text), "Alle Einträge exportieren …");
  EXPECT_EQ(items[2].Text, "Vorschau als PDF");
  view.SelectIndex(0);  // the print entry comes first
  EXPECT_EQ(Enabled(), (std::vector<bool>{true, true, true}));
  view.SelectIndex(1);
  EXPECT_EQ(Enabled(), (std::vector<bool>{true, true, false}));
  view.SelectIndex(-1);
  EXPECT_EQ(Enabled(), (std::vector<bool>{false, true, false}));
}

TEST_F(EntryMenuTest, ExportAsksForTheFileAndBeforeReplacingIt) {
  const std::string folder = env.Dir("aus");
  view.SelectIndex(1);
  SaveFileDialogs::SetNextFileName(folder + "PDF.json");
  RunEntryMenuAction(*frm, EntryMenuAction::ExportSelected);
  const std::vector<std::string> defaults = SaveFileDialogs::TakeAskedDefaults();
  ASSERT_EQ(defaults.size(), 1u);
  EXPECT_EQ(ExtractFileName(defaults[0]), "PDF.json") << "named after the entry";
  EXPECT_EQ(defaults[0].rfind(GetShellFolder(platform::kCsidlPersonal), 0), 0u) << "in the documents folder";
  auto one = LoadEntriesDocument(folder + "PDF.json");
  ASSERT_TRUE(one);
  ASSERT_EQ(EntryItems(one.get())->ChildCount(), 1);
  EXPECT_EQ(EntryItems(one.get())->ChildAt(0)->StringByName("UID"), "U-2");
  EXPECT_EQ(test::Messages().TakeShownTexts(),
            std::vector<std::string>{Ansi(u8"1 Eintrag nach „") + folder + Ansi(u8"PDF.json“ exportiert.")});

  // The same file again: replaced only on "Ja".
  const std::string before = ReadBytes(folder + "PDF.json");
  SaveFileDialogs::SetNextFileName(folder + "PDF.json");
  test::Messages().SetNextAnswer(MessageAnswer::No);
  RunEntryMenuAction(*frm, EntryMenuAction::ExportAll);
  EXPECT_EQ(test::Messages().TakeShownTexts(),
            std::vector<std::string>{Ansi(u8"Die Datei „") + folder + Ansi(u8"PDF.json“ gibt es schon. Ersetzen?")});
  EXPECT_BYTES_EQ(ReadBytes(folder + "PDF.json"), before);
  SaveFileDialogs::SetNextFileName(folder + "PDF.json");
  test::Messages().SetNextAnswer(MessageAnswer::Yes);
  RunEntryMenuAction(*frm, EntryMenuAction::ExportAll);
  EXPECT_EQ(EntryItems(LoadEntriesDocument(folder + "PDF.json").get())->ChildCount(), 2);
  EXPECT_EQ(ExtractFileName(SaveFileDialogs::TakeAskedDefaults().back()), Ansi(kExportAllFileName));

  // A cancelled dialog writes nothing; a folder that is missing is an error.
  test::Messages().TakeShownTexts();
  SaveFileDialogs::SetNextFileName("");
  RunEntryMenuAction(*frm, EntryMenuAction::ExportAll);
  EXPECT_TRUE(test::Messages().TakeShownTexts().empty());
  SaveFileDialogs::SetNextFileName(folder + "fehlt/x.json");
  EXPECT_THROW(RunEntryMenuAction(*frm, EntryMenuAction::ExportAll), Exception);
  EXPECT_FALSE(std::filesystem::exists(folder + "fehlt"));
}

TEST_F(EntryMenuTest, PreviewRunsTheSelectedPrintEntryAsPdf) {
  server.Answer("SIMPLEGETJSON", {"{\"Order\":[{\"PrintName\":\"A\",\"PrintUID\":\"1\"}]}"});
  server.onWrite = [this](const std::string&, const std::string& data) {
    WriteBytes(TWBJSONText::Parse(data)->StringByName("PDFFileName"), "%PDF");
    WriteBytes(application + "SPOOLER/PDFX/A 1.pdf", "%PDF");
  };
  view.SelectIndex(0);
  RunEntryMenuAction(*frm, EntryMenuAction::Preview);
  ASSERT_EQ(server.writes.size(), 1u);
  EXPECT_EQ(server.writes[0].first, "CREATEPDF");
  EXPECT_EQ(opener.opened.size(), 1u);
}

}  // namespace
