// EditSelectedEntry and StoreEditorFields: what reaches the entries file after
// each action and answer, with the dialog's user played by a script.
#include "app/edit_entry.h"
#include "app/main_window_features.h"
#include "app_fixture.h"
#include "editor_fakes.h"
#include "entries/entries_file.h"
#include "platform/codepage.h"
#include "platform/ui_hooks.h"
#include "support/bytes_equal.h"

using namespace wb;
using namespace wb::test;

namespace {

class EditEntryTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    server.Answer("PRINTERS", {"{\"Printers\":[{\"Name\":\"Laser\",\"Bins\":[{\"Bin\":\"Fach 1\"}]}]}"});
  }
  void Start(const std::string& items) {
    WriteEntries(items);
    frm->FormCreate();
    AttachMainWindowFeatures(*frm, dialogs.Factory());
  }
  // The "Eigenschaften" link.
  void Edit() { frm->LinkLabel1AnchorClick("E"); }
  std::unique_ptr<TWBJSON> File() { return LoadEntriesDocument(EntriesPath()); }
  static TWBSONList* Items(TWBJSON* document) { return JSONAs<TWBSONList>(document->MemberByName("Items")); }

  ScriptedDialogs dialogs;
};

const std::string kLieferschein =
    "{\"Info\":\"Lieferschein\",\"Filter.POT\":\"LIEFERSCHEIN\",\"Filter.Output\":\"print\","
    "\"Destination\":\"print\",\"Defaultprinter\":\"Laser\",\"Copies\":2,\"Forbidden\":false,\"UID\":\"U-1\","
    "\"Extra\":\"bleibt\"}";

TEST_F(EditEntryTest, ChangeConfirmedStoresTheFieldsAsTypedAndKeepsTheUid) {
  Start(kLieferschein);
  dialogs.script = [](ScriptedSetupDialog& d) {
    d.PickAction(kActionChange);
    d.Type(SetupField::Name, " <b>Neu</b> ");
    d.Type(SetupField::FilterPOT, "Rechnung");
    d.Type(SetupField::Printer, "Laser");
    d.Type(SetupField::Bin, "Fach 1");
    d.Type(SetupField::Count, "zwei");
    d.ClickForbidden();
  };
  test::Messages().SetNextAnswer(MessageAnswer::Yes);
  Edit();
  EXPECT_EQ(test::Messages().TakeShownTexts(), std::vector<std::string>{Ansi(u8"Änderungen übernehmen?")});

  auto file = File();
  ASSERT_TRUE(file);
  ASSERT_EQ(Items(file.get())->ChildCount(), 1);
  TWBCustomJSON* entry = Items(file.get())->ChildAt(0);
  EXPECT_EQ(entry->StringByName("Info"), " <b>Neu</b> ");    // no trimming
  EXPECT_EQ(entry->StringByName("Filter.POT"), "Rechnung");  // no case change
  EXPECT_EQ(entry->StringByName("Filter.Output"), "print");
  EXPECT_EQ(entry->StringByName("DefaultprinterBinName"), "Fach 1");
  EXPECT_EQ(entry->MemberByName("Copies")->Kind(), js_Number);
  EXPECT_EQ(entry->IntegerByName("Copies"), 1);  // "zwei" is no whole number
  EXPECT_TRUE(entry->BooleanByName("Forbidden"));
  EXPECT_EQ(entry->StringByName("UID"), "U-1");
  EXPECT_EQ(entry->StringByName("Extra"), "bleibt");
  EXPECT_EQ(view.rows, std::vector<std::string>{"[print] Neu  [Nicht benutzt]"});
  EXPECT_EQ(view.selected, 0);
}

TEST_F(EditEntryTest, AnswersOtherThanYesAndReadOnlyActionsStoreNothing) {
  struct Case {
    const char* name;
    std::vector<int> picks;  // actions picked in order; the last one counts
    std::optional<MessageAnswer> answer;
    std::vector<std::string> asked;
  };
  const Case cases[] = {
      {"nothing chosen", {}, std::nullopt, {}},
      {"edited, then back to Nichts",
       {kActionChange, kActionNothing},
       MessageAnswer::Yes,
       {Ansi(kDiscardEditsQuestion)}},
      {"change answered No", {kActionChange}, MessageAnswer::No, {Ansi(u8"Änderungen übernehmen?")}},
      {"add answered No", {kActionAddNew}, MessageAnswer::No, {Ansi(u8"Als neuen Eintrag übernehmen?")}},
      {"delete answered No", {kActionDelete}, MessageAnswer::No, {Ansi(u8"Eintrag „Lieferschein“ löschen?")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    frm = std::make_unique<TLiveImportFrm>(view, server, opener);
    Start(kLieferschein);
    const std::string before = ReadBytes(EntriesPath());
    dialogs.script = [&c](ScriptedSetupDialog& d) {
      for (int pick : c.picks) {
        d.PickAction(pick);
        d.Type(SetupField::Name, "Anders");
        d.Type(SetupField::Count, "9");
      }
    };
    if (c.answer) test::Messages().SetNextAnswer(*c.answer);
    Edit();
    EXPECT_EQ(test::Messages().TakeShownTexts(), c.asked);
    EXPECT_BYTES_EQ(ReadBytes(EntriesPath()), before);
    EXPECT_EQ(frm->SelectedEntry()->StringByName("Info"), "Lieferschein");
    EXPECT_EQ(frm->SelectedEntry()->IntegerByName("Copies"), 2);
  }
}

TEST_F(EditEntryTest, AddNewStoresACopyWithItsOwnUidBesideTheOriginal) {
  Start(kLieferschein);
  dialogs.script = [](ScriptedSetupDialog& d) {
    d.PickAction(kActionAddNew);
    d.Type(SetupField::Name, "Zweitschrift");
    d.Type(SetupField::Count, "3");
  };
  test::Messages().SetNextAnswer(MessageAnswer::Yes);
  Edit();
  auto file = File();
  ASSERT_EQ(Items(file.get())->ChildCount(), 2);
  TWBCustomJSON* original = Items(file.get())->ChildAt(0);
  TWBCustomJSON* added = Items(file.get())->ChildAt(1);
  EXPECT_EQ(original->StringByName("Info"), "Lieferschein");
  EXPECT_EQ(original->IntegerByName("Copies"), 2);
  EXPECT_EQ(added->StringByName("Info"), "Zweitschrift");
  EXPECT_EQ(added->IntegerByName("Copies"), 3);
  EXPECT_EQ(added->StringByName("Filter.POT"), "LIEFERSCHEIN");
  EXPECT_EQ(added->StringByName("Extra"), "");  // a new entry holds the dialog's members only
  EXPECT_EQ(added->StringByName("UID").size(), 36u);
  EXPECT_NE(added->StringByName("UID"), "U-1");
  EXPECT_EQ(view.rows, (std::vector<std::string>{"[print] Lieferschein", "[print] Zweitschrift"}));
}

// Records the entries file each time the list is shown again, so the writes of
// one save can be told apart.
class SnapshotView : public RecordingView {
 public:
  void SetEntryLines(const TStringList& lines) override {
    RecordingView::SetEntryLines(lines);
    if (!path.empty()) snapshots.push_back(ReadBytes(path));
  }
  std::string path;
  std::vector<std::string> snapshots;
};

TEST_F(EditEntryTest, DeletingTheOnlyEntryWritesEmptyItemsThenTheExampleAgain) {
  SnapshotView snapshotView;
  frm = std::make_unique<TLiveImportFrm>(snapshotView, server, opener);
  Start(kLieferschein);
  snapshotView.path = EntriesPath();
  dialogs.script = [](ScriptedSetupDialog& d) { d.PickAction(kActionDelete); };
  test::Messages().SetNextAnswer(MessageAnswer::Yes);
  Edit();
  EXPECT_EQ(test::Messages().TakeShownTexts(), std::vector<std::string>{Ansi(u8"Eintrag „Lieferschein“ löschen?")});

  // The save wrote the list as it was (no entries); the reload found no entries
  // and wrote the example document.
  bool sawEmptyItems = false;
  for (const std::string& snapshot : snapshotView.snapshots) {
    auto document = JSONCast<TWBJSON>(TWBJSONText::Parse(snapshot));
    if (document && Items(document.get()) && Items(document.get())->ChildCount() == 0) sawEmptyItems = true;
  }
  EXPECT_TRUE(sawEmptyItems);
  auto file = File();
  ASSERT_EQ(Items(file.get())->ChildCount(), 1);
  EXPECT_EQ(Items(file.get())->ChildAt(0)->StringByName("Info"), Ansi(u8"Beispiel: Ändern Sie alles hier!"));
  EXPECT_NE(Items(file.get())->ChildAt(0)->StringByName("UID"), "U-1");
  EXPECT_EQ(snapshotView.rows,
            std::vector<std::string>{Ansi(u8"[pdf] Beispiel: Ändern Sie alles hier!  [Nicht benutzt]")});
}

TEST_F(EditEntryTest, DeleteRemovesTheSelectedLineOnly) {
  Start(Entry("Eins", "print", false, "U-1") + "," + Entry("Zwei", "pdf", false, "U-2") + "," +
        Entry("Drei", "Extern", false, "U-3"));
  view.SelectIndex(1);
  dialogs.script = [](ScriptedSetupDialog& d) { d.PickAction(kActionDelete); };
  test::Messages().SetNextAnswer(MessageAnswer::Yes);
  Edit();
  EXPECT_EQ(view.rows, (std::vector<std::string>{"[print] Eins", "[Extern] Drei"}));
  EXPECT_FALSE(frm->UidExists("U-2"));
  EXPECT_TRUE(frm->UidExists("U-3"));
}

TEST_F(EditEntryTest, WithoutSelectionTheEntriesFileIsShownInItsFolder) {
  Start(kLieferschein);
  view.SelectIndex(-1);
  Edit();
  EXPECT_EQ(dialogs.made, 0);
  EXPECT_EQ(opener.shown, std::vector<std::string>{EntriesPath()});
}

TEST_F(EditEntryTest, DialogShowsTheSelectedEntryReadOnlyWithItsFileAndActions) {
  Start(kLieferschein + "," + Entry("Andere", "pdf", false, "U-9"));
  view.SelectIndex(0);
  bool checked = false;
  dialogs.script = [&](ScriptedSetupDialog& d) {
    checked = true;
    EXPECT_EQ(d.view.FieldText(SetupField::Name), "Lieferschein");
    EXPECT_EQ(d.view.FieldText(SetupField::Count), "2");
    EXPECT_TRUE(d.view.readOnly);
    EXPECT_EQ(d.view.action, kActionNothing);
    EXPECT_EQ(d.view.actions.size(), 4u);
    EXPECT_EQ(d.form.EntriesFilePath(), EntriesPath());
    EXPECT_EQ(d.view.items[SetupField::Printer], std::vector<std::string>{"Laser"});
    d.form.LinkLabel2AnchorClick("O");
  };
  Edit();
  EXPECT_TRUE(checked);
  EXPECT_EQ(opener.shown, std::vector<std::string>{EntriesPath()});
}

TEST(CopiesFromText, WholeNumbersOrOne) {
  const std::pair<std::string, int32_t> cases[] = {
      {"1", 1},          {"3", 3},           {"12", 12}, {"+4", 4}, {"-2", -2}, {"  5", 5}, {"zwei", 1},
      {"", 1},           {"2 ", 1},          {"2.5", 1}, {"3x", 1}, {"-", 1},   {"0", 0},   {"2147483647", 2147483647},
      {"2147483648", 1}, {"99999999999", 1}, {"+", 1},
  };
  for (const auto& [text, copies] : cases) EXPECT_EQ(CopiesFromText(text), copies) << '"' << text << '"';
}

// While an output run waits for its PDF, the editor can still be opened; its
// save is skipped then, but the window must show the list as it now is, or a
// row would run another line's entry.
TEST_F(EditEntryTest, DeleteDuringARunKeepsTheWindowInStepWithTheList) {
  Start(Entry("Eins", "print", false, "U-1") + "," + Entry("Zwei", "pdf", false, "U-2"));
  server.Answer("SIMPLEGETJSON", {"{\"Order\":[{\"PrintName\":\"A\",\"PrintUID\":\"1\"}]}"});
  server.onWrite = [this](const std::string&, const std::string&) {
    WriteBytes(application + "SPOOLER/PDFX/A 1.pdf", "");
  };
  WindowHooks hooks;
  platform::SetUiHooks(&hooks);
  const std::string before = ReadBytes(EntriesPath());
  hooks.onPump = [&] {
    view.SelectIndex(0);
    dialogs.script = [](ScriptedSetupDialog& d) { d.PickAction(kActionDelete); };
    test::Messages().SetNextAnswer(MessageAnswer::Yes);
    Edit();
  };
  view.SelectIndex(1);
  frm->RunEntryOutput(nullptr);  // the PDF run of "Zwei"; "Eins" is deleted while it waits
  platform::SetUiHooks(nullptr);
  EXPECT_EQ(hooks.onPump, nullptr);
  EXPECT_EQ(view.rows, std::vector<std::string>{"[pdf] Zwei"});
  EXPECT_EQ(frm->SelectedEntry()->StringByName("UID"), "U-2");
  // Written as soon as the run was over.
  EXPECT_NE(ReadBytes(EntriesPath()), before);
  EXPECT_FALSE(UidExists(File().get(), "U-1"));
  EXPECT_FALSE(frm->HasUnsavedChanges());
}

}  // namespace
