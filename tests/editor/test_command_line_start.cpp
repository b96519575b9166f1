// The start from the command line: a direct start by name or UID, and the
// import of a JSON file of entries in add and update mode.
#include "app/command_line_start.h"
#include "app/main_window_features.h"
#include "app_fixture.h"
#include "editor_fakes.h"
#include "entries/entries_file.h"
#include "platform/codepage.h"
#include "support/bytes_equal.h"

using namespace wb;
using namespace wb::test;

namespace {

class CommandLineStartTest : public MainWindowTest {
 protected:
  // The program started with these arguments, up to its first showing.
  void StartWith(const std::string& items, std::vector<std::string> arguments) {
    if (!items.empty()) WriteEntries(items);
    frm = std::make_unique<TLiveImportFrm>(view, server, opener, std::move(arguments));
    frm->FormCreate();
    AttachMainWindowFeatures(*frm, nullptr);
    server.calls.clear();
    frm->FormShow();
  }
  std::vector<std::string> WrittenCommands() const {
    std::vector<std::string> commands;
    for (const auto& write : server.writes) commands.push_back(write.first);
    return commands;
  }
  std::string SentUid(size_t index = 0) const {
    return TWBJSONText::Parse(server.writes.at(index).second)->StringByName("UID");
  }
  std::string ImportFile(const std::string& items) {
    const std::string path = env.Dir("import") + "neu.json";
    WriteBytes(path, "{\"Items\":[" + items + "]}");
    return path;
  }
  std::unique_ptr<TWBJSON> File() { return LoadEntriesDocument(EntriesPath()); }
  // Four entries; two share a name.
  const std::string kEntries =
      Entry("Lieferschein Kunde", "print", false, "U-PRINT") + "," + Entry("<b>Angebot</b>", "Extern", false, "U-EXT") +
      "," + Entry("Doppelt", "pdf", false, "U-PDF") + "," + Entry("Doppelt", "print", false, "U-PRINT-2");
  static TWBCustomJSON* FindUid(TWBJSON* document, const std::string& uid) {
    TWBSONList* items = EntryItems(document);
    for (int32_t i = 0; items && i < items->ChildCount(); ++i)
      if (items->ChildAt(i)->StringByName("UID") == uid) return items->ChildAt(i);
    return nullptr;
  }
};

TEST_F(CommandLineStartTest, DirectStartRunsTheFirstMatchInListOrderAndCloses) {
  struct Case {
    std::vector<std::string> arguments;
    std::vector<std::string> commands;
    std::string uid;
  };
  const Case cases[] = {
      {{"Lieferschein Kunde"}, {"PRINT"}, "U-PRINT"},
      {{"U-PRINT"}, {"PRINT"}, "U-PRINT"},           // by UID
      {{"Doppelt"}, {"PRINT"}, "U-PRINT-2"},         // print entries come first in the list
      {{"U-PRINT-2", "U"}, {"PRINT"}, "U-PRINT-2"},  // argument 2 plays no part here
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments[0]);
    server.writes.clear();
    view.closeRequests = 0;
    StartWith(kEntries, c.arguments);
    EXPECT_EQ(WrittenCommands(), c.commands);
    EXPECT_EQ(SentUid(), c.uid);
    EXPECT_EQ(view.closeRequests, 1);
  }
}

TEST_F(CommandLineStartTest, NamesMatchAsPlainTextAndExactly) {
  const std::pair<std::string, bool> cases[] = {
      {"Angebot", true},                              // the markup-free name
      {"<b>Angebot</b>", false}, {"angebot", false},  // case matters
      {"Angebot ", false},       {"u-ext", false},   {"", false},
  };
  for (const auto& [argument, runs] : cases) {
    SCOPED_TRACE(argument);
    view.closeRequests = 0;
    test::Messages().TakeShownTexts();
    StartWith(kEntries, {argument});
    // The Extern entry cannot be produced here: its message is the sign it ran.
    EXPECT_EQ(test::Messages().TakeShownTexts().size(), runs ? 1u : 0u);
    EXPECT_EQ(view.closeRequests, runs ? 1 : 0);
  }
}

TEST_F(CommandLineStartTest, RunThatCannotBeProducedStillEndsTheProgram) {
  StartWith(kEntries, {"U-EXT"});
  EXPECT_EQ(test::Messages().TakeShownTexts(),
            std::vector<std::string>{"Dieser Eintrag kann nicht von hier erzeugt werden."});
  EXPECT_EQ(view.closeRequests, 1);
}

TEST_F(CommandLineStartTest, RunThatFailsWithAnErrorStillEndsTheProgram) {
  WriteEntries(kEntries);
  frm = std::make_unique<TLiveImportFrm>(view, server, opener, std::vector<std::string>{"U-PRINT"});
  frm->FormCreate();
  AttachMainWindowFeatures(*frm, nullptr);
  server.Answer("DBPATH", {"/anderswo/"});
  EXPECT_THROW(frm->FormShow(), Exception);
  EXPECT_EQ(view.closeRequests, 1);
  EXPECT_TRUE(server.writes.empty());
}

TEST_F(CommandLineStartTest, WithoutArgumentsNothingHappens) {
  StartWith(kEntries, {});
  EXPECT_TRUE(server.calls.empty());
  EXPECT_EQ(view.closeRequests, 0);
}

TEST_F(CommandLineStartTest, AddModeAddsNewEntriesOnlyAndCloses) {
  const std::string import = ImportFile(
      "{\"Info\":\"Neu\",\"Destination\":\"pdf\",\"UID\":\"U-NEU\",\"Filter.POT\":\"BRIEF\"},"
      "{\"Info\":\"Anders\",\"Destination\":\"print\",\"UID\":\"U-PRINT\"},"
      "{\"Info\":\"Ohne UID\",\"Destination\":\"print\"},"
      "7");
  StartWith(kEntries, {import});
  EXPECT_EQ(view.closeRequests, 1);
  auto file = File();
  EXPECT_EQ(EntryItems(file.get())->ChildCount(), 6);
  ASSERT_TRUE(FindUid(file.get(), "U-NEU"));
  EXPECT_EQ(FindUid(file.get(), "U-NEU")->StringByName("Filter.POT"), "BRIEF");
  EXPECT_EQ(FindUid(file.get(), "U-PRINT")->StringByName("Info"), "Lieferschein Kunde");  // known: skipped
  TWBCustomJSON* withoutUid = FindUid(file.get(), "");
  ASSERT_TRUE(withoutUid);
  EXPECT_EQ(withoutUid->StringByName("Info"), "Ohne UID");
  EXPECT_EQ(withoutUid->MemberByName("UID"), nullptr);  // stored without one
  EXPECT_EQ(view.rows.size(), 6u);
}

TEST_F(CommandLineStartTest, AddModeWithOnlyKnownUidsWritesNothingAndStillCloses) {
  WriteEntries(kEntries);
  frm->FormCreate();  // the load writes the backup; after that the file stays
  frm.reset();
  const std::string before = ReadBytes(EntriesPath());
  const auto stamp = std::filesystem::last_write_time(EntriesPath());
  const std::string import = ImportFile("{\"Info\":\"Anders\",\"Destination\":\"pdf\",\"UID\":\"U-PRINT\"}");
  StartWith("", {import});
  EXPECT_EQ(view.closeRequests, 1);
  EXPECT_BYTES_EQ(ReadBytes(EntriesPath()), before);
  EXPECT_EQ(std::filesystem::last_write_time(EntriesPath()), stamp);
}

TEST_F(CommandLineStartTest, UpdateModeReplacesKnownEntriesButKeepsTheirFilters) {
  WriteEntries(
      "{\"Info\":\"Alt\",\"Filter.POT\":\"RECHNUNG\",\"Filter.Output\":\"mail\",\"Filter.LayoutName\":\"Rechnung\","
      "\"Destination\":\"pdf\",\"Defaultprinter\":\"Alt\",\"Copies\":1,\"UID\":\"U-1\"}," +
      Entry("Bleibt", "print", false, "U-2"));
  const std::string import = ImportFile(
      "{\"Info\":\"Neu benannt\",\"Filter.POT\":\"ANGEBOT\",\"Filter.Output\":\"print\","
      "\"Destination\":\"print\",\"Defaultprinter\":\"Laser\",\"DefaultprinterBinName\":\"Fach 2\","
      "\"Copies\":3,\"UID\":\"U-1\"},"
      "{\"Info\":\"Ganz neu\",\"Destination\":\"pdf\",\"UID\":\"U-3\"}");
  StartWith("", {import, "U"});
  EXPECT_EQ(view.closeRequests, 1);
  auto file = File();
  EXPECT_EQ(EntryItems(file.get())->ChildCount(), 3);
  TWBCustomJSON* updated = FindUid(file.get(), "U-1");
  ASSERT_TRUE(updated);
  EXPECT_EQ(updated->StringByName("Info"), "Neu benannt");
  EXPECT_EQ(updated->StringByName("Destination"), "print");
  EXPECT_EQ(updated->StringByName("Defaultprinter"), "Laser");
  EXPECT_EQ(updated->StringByName("DefaultprinterBinName"), "Fach 2");
  EXPECT_EQ(updated->IntegerByName("Copies"), 3);
  // The entry's own three filters stay.
  EXPECT_EQ(updated->StringByName("Filter.POT"), "RECHNUNG");
  EXPECT_EQ(updated->StringByName("Filter.Output"), "mail");
  EXPECT_EQ(updated->StringByName("Filter.LayoutName"), "Rechnung");
  EXPECT_EQ(FindUid(file.get(), "U-2")->StringByName("Info"), "Bleibt");
  EXPECT_EQ(FindUid(file.get(), "U-3")->StringByName("Info"), "Ganz neu");
  EXPECT_EQ(view.rows, (std::vector<std::string>{"[print] Bleibt", "[print] Neu benannt", "[pdf] Ganz neu"}));
}

TEST_F(CommandLineStartTest, ImportFilesThatAreNotEntries) {
  struct Case {
    const char* name;
    std::string content;
    int closes;
  };
  const Case cases[] = {
      {"not JSON: the window stays open", "das ist kein JSON", 0},
      {"no Items: the program ends", "{\"Andere\":[]}", 1},
      {"Items not a list: the program ends", "{\"Items\":{\"Info\":\"x\"}}", 1},
      {"empty Items: nothing written, the program ends", "{\"Items\":[]}", 1},
  };
  WriteEntries(kEntries);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = env.Dir("import") + "datei.json";
    WriteBytes(path, c.content);
    view.closeRequests = 0;
    StartWith("", {path});
    EXPECT_EQ(view.closeRequests, c.closes);
    EXPECT_EQ(EntryItems(File().get())->ChildCount(), 4);
  }
}

TEST_F(CommandLineStartTest, PreviewRunsThePrintEntryAsPdfAndCloses) {
  server.Answer("SIMPLEGETJSON", {"{\"Order\":[{\"PrintName\":\"Angebot 4711\",\"PrintUID\":\"A/17\"}]}"});
  server.onWrite = [this](const std::string& command, const std::string& data) {
    if (command != "CREATEPDF") return;
    WriteBytes(TWBJSONText::Parse(data)->StringByName("PDFFileName"), "%PDF");
    WriteBytes(application + "SPOOLER/PDFX/Angebot 4711 A17.pdf", "%PDF");
  };
  StartWith(kEntries, {"--preview", "Lieferschein Kunde"});
  EXPECT_EQ(WrittenCommands(), std::vector<std::string>{"CREATEPDF"});
  EXPECT_EQ(SentUid(), "U-PRINT");
  EXPECT_EQ(TWBJSONText::Parse(server.writes.at(0).second)->StringByName("Destination"), "pdf");
  EXPECT_EQ(opener.opened.size(), 1u);
  EXPECT_EQ(view.closeRequests, 1);

  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--preview", "Keiner"}, std::vector<std::string>{"--preview", "U-EXT"},
        std::vector<std::string>{"--check"}}) {
    SCOPED_TRACE(arguments.back());
    server.writes.clear();
    view.closeRequests = 0;
    test::Messages().TakeShownTexts();
    StartWith(kEntries, arguments);
    EXPECT_TRUE(server.writes.empty());
    const std::vector<std::string> shown = test::Messages().TakeShownTexts();
    if (arguments[0] == "--check") {
      EXPECT_TRUE(shown.empty()) << "no entry of that name is looked for";
      continue;
    }
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], arguments[1] == "Keiner"
                            ? Ansi(u8"Kein Eintrag heißt „Keiner“ oder hat diese UID.")
                            : Ansi(u8"Eine Vorschau als PDF gibt es nur für Einträge, die drucken."));
    EXPECT_EQ(view.closeRequests, 1);
  }
}

}  // namespace
