// What becomes of a confirmed edit: written also when an output run was
// waiting, never reported as stored when the file could not be written,
// merged with what another window wrote meanwhile, the selection kept on the
// edited entry, and the editor's questions only where they mean something.
#include "app/edit_entry.h"
#include "app/main_window_features.h"
#include "app_fixture.h"
#include "client/busy_cursor.h"
#include "client/client_dirs.h"
#include "editor_fakes.h"
#include "entries/entries_file.h"
#include "platform/codepage.h"
#include "platform/ui_hooks.h"
#include "support/bytes_equal.h"

using namespace wb;
using namespace wb::test;

namespace {

const char* kOrder = "{\"Order\":[{\"PrintName\":\"A\",\"PrintUID\":\"1\"}]}";

class AnsweringPresenter : public IMessagePresenter {
 public:
  MessageAnswer Present(const std::string& text, MessageButtons, MessageIcon) override {
    asked.push_back(text);
    if (onAsk) onAsk();
    return answer;
  }
  std::vector<std::string> asked;
  MessageAnswer answer = MessageAnswer::No;
  std::function<void()> onAsk;
};

class SavingEditsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    server.Answer("SIMPLEGETJSON", {kOrder});
    server.onWrite = [this](const std::string&, const std::string&) {
      WriteBytes(GetShellFolder(platform::kCsidlDesktop) + "WerkbankQuery.Mehrfachausgabe/A 1.pdf", "%PDF");
      WriteBytes(application + "SPOOLER/PDFX/A 1.pdf", "%PDF");
    };
    platform::SetUiHooks(&hooks);
  }
  void TearDown() override {
    platform::SetUiHooks(nullptr);
    MainWindowTest::TearDown();
  }
  void Start(const std::string& items) {
    WriteEntries(items);
    frm->FormCreate();
    AttachMainWindowFeatures(*frm, dialogs.Factory());
  }
  // The user selects the entry with this UID, opens the editor, picks the
  // action, renames the entry (for change and add) and answers the question.
  void EditEntry(TLiveImportFrm& window, ScriptedDialogs& editors, const std::string& uid, int action,
                 const std::string& newName, MessageAnswer answer = MessageAnswer::Yes) {
    ASSERT_TRUE(window.SelectEntryByKey(uid));
    editors.script = [action, newName](ScriptedSetupDialog& d) {
      d.PickAction(action);
      if (!newName.empty()) d.Type(SetupField::Name, newName);
    };
    test::Messages().SetNextAnswer(answer);
    window.LinkLabel1AnchorClick("E");
  }
  void EditEntry(const std::string& uid, int action, const std::string& newName) {
    EditEntry(*frm, dialogs, uid, action, newName);
  }
  std::unique_ptr<TWBJSON> File() { return LoadEntriesDocument(EntriesPath()); }
  std::vector<std::string> FileNames() {
    std::vector<std::string> names;
    auto file = File();
    TWBSONList* items = EntryItems(file.get());
    for (int32_t i = 0; items && i < items->ChildCount(); ++i) names.push_back(items->ChildAt(i)->StringByName("Info"));
    return names;
  }
  std::string SelectedUid() {
    TWBCustomJSON* entry = frm->SelectedEntry();
    return entry ? entry->StringByName("UID") : std::string("(keine Auswahl)");
  }

  WindowHooks hooks;
  ScriptedDialogs dialogs;
};

const std::string kTwo =
    "{\"Info\":\"Eins\",\"Destination\":\"print\",\"UID\":\"U-1\"},"
    "{\"Info\":\"Zwei\",\"Destination\":\"pdf\",\"UID\":\"U-2\"}";

// Every action of the editor confirmed while a PDF run waits for the server.
struct RunCase {
  const char* name;
  int action;
  const char* newName;
  std::vector<std::string> fileAfter;
};
const RunCase kRunCases[] = {
    {"change", kActionChange, "Eins neu", {"Eins neu", "Zwei"}},
    {"new entry", kActionAddNew, "Drei", {"Drei", "Eins", "Zwei"}},
    {"delete", kActionDelete, "", {"Zwei"}},
};

TEST_F(SavingEditsTest, AnEditConfirmedDuringARunIsWrittenWhenTheRunEnds) {
  for (const RunCase& c : kRunCases) {
    SCOPED_TRACE(c.name);
    frm = std::make_unique<TLiveImportFrm>(view, server, opener);
    frm->PrintHandedOverMs = 0;
    Start(kTwo);
    std::vector<std::string> duringTheRun;
    hooks.onPump = [&] {
      EditEntry("U-1", c.action, c.newName);
      duringTheRun = FileNames();
      EXPECT_TRUE(frm->HasUnsavedChanges());
    };
    ASSERT_TRUE(frm->SelectEntryByKey("U-2"));
    frm->Button1Click();  // the PDF run of "Zwei"
    EXPECT_EQ(hooks.onPump, nullptr);
    EXPECT_EQ(duringTheRun, (std::vector<std::string>{"Eins", "Zwei"}));  // not while the run waits
    EXPECT_EQ(FileNames(), c.fileAfter);
    EXPECT_FALSE(frm->HasUnsavedChanges());
    if (c.action == kActionChange) {
      EXPECT_EQ(SelectedUid(), "U-1");
    } else if (c.action == kActionAddNew) {
      EXPECT_EQ(view.rows.at(static_cast<std::size_t>(view.selected)), "[print] Drei");
    }
  }
}

TEST_F(SavingEditsTest, AnEditConfirmedDuringARunIsWrittenWhenTheWindowClosesMeanwhile) {
  for (const RunCase& c : kRunCases) {
    SCOPED_TRACE(c.name);
    frm = std::make_unique<TLiveImportFrm>(view, server, opener);
    frm->PrintHandedOverMs = 0;
    Start(kTwo);
    std::vector<std::string> afterClose;
    hooks.onPump = [&] {
      EditEntry("U-1", c.action, c.newName);
      frm->FormClose();  // the user closes the window while the run still waits
      afterClose = FileNames();
    };
    ASSERT_TRUE(frm->SelectEntryByKey("U-2"));
    frm->Button1Click();
    EXPECT_EQ(afterClose, c.fileAfter);
    EXPECT_EQ(test::Messages().TakeShownTexts().size(), 1u);  // the confirmation only
  }
}

// The entries file cannot be written (here: a folder stands in its place, which
// stops every writer, also one with every right). The window says it is busy
// while the attempts run, keeps the list as the user made it, knows that it is
// not on disk, and asks at close: retry or discard.
TEST_F(SavingEditsTest, AFailedSaveIsNeverTakenForAStoredOne) {
  for (const bool retry : {true, false}) {
    SCOPED_TRACE(retry ? "retry at close" : "discard at close");
    frm = std::make_unique<TLiveImportFrm>(view, server, opener);
    Start(kTwo);
    std::filesystem::remove(EntriesPath());
    std::filesystem::create_directory(EntriesPath());
    view.buttonTexts.clear();
    hooks.cursor.clear();
    test::Messages().TakeShownTexts();

    EXPECT_THROW(EditEntry("U-1", kActionChange, "Eins neu"), Exception);
    EXPECT_EQ(view.buttonTexts, (std::vector<std::string>{"Speichern", "Los!"}));
    EXPECT_EQ(hooks.cursor, (std::vector<bool>{true, false}));
    EXPECT_TRUE(view.buttonEnabled);
    EXPECT_TRUE(frm->HasUnsavedChanges());
    EXPECT_EQ(SelectedUid(), "U-1");
    EXPECT_EQ(frm->SelectedEntry()->StringByName("Info"), "Eins neu");
    test::Messages().TakeShownTexts();

    // Asked at close; a retry finds the way free (the user made room meanwhile).
    AnsweringPresenter presenter;
    presenter.answer = retry ? MessageAnswer::Yes : MessageAnswer::No;
    presenter.onAsk = [&] {
      if (retry) std::filesystem::remove(EntriesPath());
    };
    MessageBoxes::SetPresenter(&presenter);
    frm->FormClose();
    test::Messages();  // the recorder again
    const auto& asked = presenter.asked;
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].rfind(Ansi(u8"Die Änderungen konnten nicht gespeichert werden:\r\nDatei "), 0), 0u) << asked[0];
    if (retry) {
      EXPECT_EQ(FileNames(), (std::vector<std::string>{"Eins neu", "Zwei"}));
    } else {
      EXPECT_TRUE(std::filesystem::is_directory(EntriesPath()));
    }
    EXPECT_FALSE(frm->HasUnsavedChanges());
    std::filesystem::remove(EntriesPath());
  }
}

// Two windows on one entries file (a shortcut of a renamed entry opens the
// second): each one's save keeps what the other wrote.
TEST_F(SavingEditsTest, TwoWindowsKeepEachOthersChanges) {
  Start(kTwo + "," + Entry("Drei", "pdf", false, "U-3"));
  RecordingView secondView;
  ScriptedDialogs secondDialogs;
  TLiveImportFrm second(secondView, server, opener);
  second.FormCreate();
  AttachMainWindowFeatures(second, secondDialogs.Factory());

  EditEntry("U-1", kActionChange, "Eins aus A");
  EXPECT_EQ(test::Messages().TakeShownTexts().size(), 1u);  // no merge needed yet
  EditEntry(second, secondDialogs, "U-2", kActionChange, "Zwei aus B");
  auto told = test::Messages().TakeShownTexts();
  ASSERT_EQ(told.size(), 2u);
  EXPECT_NE(told[1].find(Ansi(u8"zusammengeführt")), std::string::npos);
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"Drei", "Eins aus A", "Zwei aus B"}));
  EXPECT_EQ(secondView.rows.size(), 3u);  // the second window now shows the first one's change too

  EditEntry("U-3", kActionDelete, "");  // the first window deletes what the second left alone
  EditEntry(second, secondDialogs, "U-2", kActionAddNew, "Vier aus B");
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"Eins aus A", "Vier aus B", "Zwei aus B"}));
}

TEST(MergeEntryLines, EachSideKeepsWhatItChanged) {
  auto parse = [](const std::string& items) {
    return JSONCast<TWBJSON>(TWBJSONText::Parse("{\"Items\":[" + items + "]}"));
  };
  auto e = [](const std::string& uid, const std::string& info) {
    return "{\"Info\":\"" + info + "\",\"UID\":\"" + uid + "\"}";
  };
  struct Case {
    const char* name;
    std::string base, mine, theirs;
    std::vector<std::string> expected;  // "UID:Info" in merged order
  };
  const Case cases[] = {
      {"nobody changed anything", e("1", "a"), e("1", "a"), e("1", "a"), {"1:a"}},
      {"changed here", e("1", "a"), e("1", "hier"), e("1", "a"), {"1:hier"}},
      {"changed there", e("1", "a"), e("1", "a"), e("1", "dort"), {"1:dort"}},
      {"changed on both sides: this window's save counts", e("1", "a"), e("1", "hier"), e("1", "dort"), {"1:hier"}},
      {"added here and there",
       e("1", "a"),
       e("1", "a") + "," + e("2", "hier"),
       e("1", "a") + "," + e("3", "dort"),
       {"1:a", "3:dort", "2:hier"}},
      {"deleted here", e("1", "a") + "," + e("2", "b"), e("2", "b"), e("1", "a") + "," + e("2", "b"), {"2:b"}},
      {"deleted there", e("1", "a") + "," + e("2", "b"), e("1", "a") + "," + e("2", "b"), e("2", "b"), {"2:b"}},
      {"deleted there, changed here", e("1", "a"), e("1", "hier"), "", {"1:hier"}},
      {"entries without UID by their text",
       "{\"Info\":\"x\"}",
       "{\"Info\":\"x\"}",
       "{\"Info\":\"x\"},{\"Info\":\"y\"}",
       {":x", ":y"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto base = parse(c.base), mine = parse(c.mine), theirs = parse(c.theirs);
    TStringList mineLines, merged;
    BuildEntryLines(*mine, mineLines);
    MergeEntryLines(base.get(), mineLines, theirs.get(), merged);
    std::vector<std::string> got;
    for (int i = 0; i < merged.Count(); ++i) {
      auto* entry = static_cast<TWBCustomJSON*>(merged.GetObject(i));
      got.push_back(entry->StringByName("UID") + ":" + entry->StringByName("Info"));
    }
    EXPECT_EQ(got, c.expected);
  }
}

// The list is sorted anew after every save: the selection stays on the entry
// the user edited (a new entry: the one just made), so the next "Los!" runs it.
TEST_F(SavingEditsTest, TheSelectionStaysOnTheEditedEntry) {
  Start(Entry("Anton", "pdf", false, "U-1") + "," + Entry("Berta", "pdf", false, "U-2") + "," +
        Entry("Cäsar", "pdf", false, "U-3"));
  EditEntry("U-1", kActionChange, "Zacharias");
  EXPECT_EQ(view.rows.at(static_cast<std::size_t>(view.selected)), "[pdf] Zacharias");
  EXPECT_EQ(SelectedUid(), "U-1");

  EditEntry("U-3", kActionAddNew, "Aaron");
  EXPECT_EQ(view.rows.at(static_cast<std::size_t>(view.selected)), "[pdf] Aaron");

  ASSERT_TRUE(frm->SelectEntryByKey("U-2"));
  frm->SaveEntries();  // as an import saves
  EXPECT_EQ(SelectedUid(), "U-2");
}

// A name that is empty once its markup is removed would make a nameless row,
// a shortcut without a name and an entry nobody can start by name.
TEST_F(SavingEditsTest, AnEmptyNameIsRefusedAndTheDialogComesBackWithTheEdits) {
  Start(kTwo);
  ASSERT_TRUE(frm->SelectEntryByKey("U-1"));
  int showings = 0;
  std::string copiesSeenAgain;
  dialogs.script = [&](ScriptedSetupDialog& d) {
    ++showings;
    if (showings == 1) {
      d.PickAction(kActionChange);
      d.Type(SetupField::Name, "  <b> </b><IMG src=\"idx:0\"> ");
      d.Type(SetupField::Count, "7");
    } else {
      copiesSeenAgain = d.view.FieldText(SetupField::Count);
      d.PickAction(kActionChange);
      d.Type(SetupField::Name, "Eins, jetzt mit Namen");
    }
  };
  test::Messages().SetNextAnswer(MessageAnswer::Ok);
  test::Messages().SetNextAnswer(MessageAnswer::Yes);
  frm->LinkLabel1AnchorClick("E");
  EXPECT_EQ(showings, 2);
  EXPECT_EQ(copiesSeenAgain, "7");
  EXPECT_EQ(test::Messages().TakeShownTexts(), (std::vector<std::string>{Ansi(kEmptyNameText), Ansi(kConfirmChange)}));
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"Eins, jetzt mit Namen", "Zwei"}));

  // Given up: "Nichts änderbar" at the second showing stores nothing.
  showings = 0;
  dialogs.script = [&](ScriptedSetupDialog& d) {
    if (++showings == 1) {
      d.PickAction(kActionAddNew);
      d.Type(SetupField::Name, "");
    } else {
      d.PickAction(kActionNothing);
    }
  };
  test::Messages().SetNextAnswer(MessageAnswer::Ok);
  test::Messages().SetNextAnswer(MessageAnswer::Yes);  // drop the edits
  frm->LinkLabel1AnchorClick("E");
  EXPECT_EQ(showings, 2);
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"Eins, jetzt mit Namen", "Zwei"}));
}

TEST_F(SavingEditsTest, NothingChangedAsksNothingAndWritesNothing) {
  Start(kTwo);
  const std::string before = ReadBytes(EntriesPath());
  ASSERT_TRUE(frm->SelectEntryByKey("U-1"));
  dialogs.script = [](ScriptedSetupDialog& d) {
    d.PickAction(kActionChange);
    d.Type(SetupField::Name, "Anders");
    d.Type(SetupField::Name, "Eins");  // and back
  };
  frm->LinkLabel1AnchorClick("E");
  EXPECT_TRUE(test::Messages().TakeShownTexts().empty());
  EXPECT_BYTES_EQ(ReadBytes(EntriesPath()), before);
}

// Going back to "Nichts änderbar" after editing asks first; "Nein" keeps the
// edits, editable; "Ja" shows the stored values again.
TEST_F(SavingEditsTest, BackToNothingAsksBeforeDroppingTheEdits) {
  Start(kTwo);
  ASSERT_TRUE(frm->SelectEntryByKey("U-1"));
  struct Seen {
    int action;
    bool readOnly;
    std::string name;
  };
  std::vector<Seen> seen;
  dialogs.script = [&](ScriptedSetupDialog& d) {
    d.PickAction(kActionChange);
    d.Type(SetupField::Name, "Eins neu");
    test::Messages().SetNextAnswer(MessageAnswer::No);
    d.PickAction(kActionNothing);
    seen.push_back({d.view.action, d.view.readOnly, d.view.FieldText(SetupField::Name)});
    test::Messages().SetNextAnswer(MessageAnswer::Yes);
    d.PickAction(kActionNothing);
    seen.push_back({d.view.action, d.view.readOnly, d.view.FieldText(SetupField::Name)});
  };
  frm->LinkLabel1AnchorClick("E");
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].action, kActionChange);
  EXPECT_FALSE(seen[0].readOnly);
  EXPECT_EQ(seen[0].name, "Eins neu");
  EXPECT_EQ(seen[1].action, kActionNothing);
  EXPECT_TRUE(seen[1].readOnly);
  EXPECT_EQ(seen[1].name, "Eins");
  EXPECT_EQ(test::Messages().TakeShownTexts(),
            (std::vector<std::string>{Ansi(kDiscardEditsQuestion), Ansi(kDiscardEditsQuestion)}));
  EXPECT_EQ(FileNames(), (std::vector<std::string>{"Eins", "Zwei"}));
}

}  // namespace
