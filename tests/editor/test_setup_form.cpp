// TSetupFrm on its own: the offered lists, filling from an entry, the bins of
// the chosen printer, the layout warning, the read-only state and the links.
#include <gtest/gtest.h>

#include <algorithm>

#include "app_fixture.h"
#include "editor_fakes.h"
#include "platform/codepage.h"

using namespace wb;
using namespace wb::test;

namespace {

const char* kPrinters =
    "{\"Printers\":[{\"Name\":\"Laser\",\"Bins\":[{\"Bin\":\"Fach 1\"},{\"Bin\":\"Fach 2\"}]},"
    "{\"Name\":\"Etiketten\",\"Bins\":[{\"Bin\":\"Rolle\"}]},"
    "{\"Name\":\"Laser\",\"Bins\":[{\"Bin\":\"Manuell\"}]}]}";

class SetupFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    database = env.Dir("db");
    answers["PRINTERS"] = kPrinters;
    answers["DBPATH"] = database;
  }
  // Creates the form as the dialog's creation does.
  std::unique_ptr<ScriptedSetupDialog> Open() {
    TSetupServices services;
    services.ReadServerValue = [this](const std::string& command) {
      asked.push_back(command);
      return answers[command];
    };
    services.ShowInFolder = [this](const std::string& path) { shownInFolder.push_back(path); };
    return std::make_unique<ScriptedSetupDialog>(std::move(services), nullptr);
  }
  static std::unique_ptr<TWBCustomJSON> Entry(const std::string& json) { return TWBJSONText::Parse(json); }

  TempEnv env;
  std::string database;
  std::map<std::string, std::string> answers;
  std::vector<std::string> asked;
  std::vector<std::string> shownInFolder;
};

TEST_F(SetupFormTest, CreationOffersPrintersDocumentTypesLayoutsAndFixedChoices) {
  WriteBytes(database + "Rechnung.da1", "");
  WriteBytes(database + "Rechnung_SUPERLAYOUT.da1", "");
  WriteBytes(database + "Etikett_superlayout.DA1", "");
  WriteBytes(database + "Anschreiben 10.da1", "");
  WriteBytes(database + "Anschreiben 9.da1", "");
  WriteBytes(database + "notiz.txt", "");
  WriteBytes(database + "unter/Tief.da1", "");  // sub-folders are not searched
  auto dialog = Open();
  RecordingSetupView& view = dialog->view;
  EXPECT_EQ(asked, (std::vector<std::string>{"PRINTERS", "DBPATH"}));

  EXPECT_EQ(view.items[SetupField::Printer], (std::vector<std::string>{"Laser", "Etiketten", "Laser"}));
  EXPECT_EQ(view.items[SetupField::FilterPOT],
            (std::vector<std::string>{"rechnung", "angebot", "bestellung", "brief", "gutschrift", "lieferschein",
                                      Ansi(u8"auftragsbestätigung"), "freier typ1", "freier typ2", "freier typ3",
                                      "freier typ4", "freier typ5"}));
  // Both files of Rechnung give the name Rechnung, offered once, in the
  // entry list's order whatever the listing's.
  EXPECT_EQ(view.items[SetupField::FilterLayoutName],
            (std::vector<std::string>{"Anschreiben 10", "Anschreiben 9", "Etikett", "Rechnung"}));
  EXPECT_EQ(view.items[SetupField::SuperLayoutname], view.items[SetupField::FilterLayoutName]);
  EXPECT_EQ(view.items[SetupField::FilterOutput], (std::vector<std::string>{"mail", "print"}));
  EXPECT_EQ(view.items[SetupField::Destination], (std::vector<std::string>{"pdf", "print"}));
  EXPECT_EQ(view.items[SetupField::LabelPrinter], (std::vector<std::string>{"", "top", "bottom", "top bottom"}));
  EXPECT_EQ(view.items[SetupField::Duplex], (std::vector<std::string>{"", "horizontal", "vertical"}));
  EXPECT_EQ(view.items[SetupField::Count], (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_TRUE(view.items[SetupField::Bin].empty());
}

TEST_F(SetupFormTest, SilentServerLeavesPrintersAndLayoutsEmptyButFieldsShowTheEntry) {
  answers.clear();
  WriteBytes(database + "Rechnung.da1", "");
  auto dialog = Open();
  EXPECT_TRUE(dialog->view.items[SetupField::Printer].empty());
  EXPECT_TRUE(dialog->view.items[SetupField::FilterLayoutName].empty());
  dialog->form.LoadFromEntry(*Entry("{\"Defaultprinter\":\"Laser\",\"DefaultprinterBinName\":\"Fach 9\"}"));
  EXPECT_EQ(dialog->view.FieldText(SetupField::Printer), "Laser");
  EXPECT_EQ(dialog->view.FieldText(SetupField::Bin), "Fach 9");
}

TEST_F(SetupFormTest, UnreadablePrinterRepliesGiveNoPrinters) {
  for (const char* reply : {"kein JSON", "[1,2]", "{\"Printers\":7}", "{\"Printers\":[3,\"x\"]}"}) {
    answers["PRINTERS"] = reply;
    auto dialog = Open();
    for (const std::string& printer : dialog->view.items[SetupField::Printer]) EXPECT_EQ(printer, "") << reply;
    dialog->view.SetFieldText(SetupField::Printer, "");
    dialog->form.DCCChange();
    EXPECT_TRUE(dialog->view.items[SetupField::Bin].empty()) << reply;
  }
}

TEST_F(SetupFormTest, LoadFromEntryFillsEveryFieldAsStored) {
  auto dialog = Open();
  dialog->form.LoadFromEntry(
      *Entry("{\"Info\":\"<b>Name</b> \",\"Filter.POT\":\"RECHNUNG\",\"Filter.Output\":\"mail\","
             "\"Filter.LayoutName\":\"Rechnung\",\"Destination\":\"print\",\"SuperLayoutname\":\"Etikett\","
             "\"LabelPrinter\":\"top\",\"Defaultprinter\":\"Laser\",\"DefaultprinterBinName\":\"Fach 2\","
             "\"DuplexType\":\"vertical\",\"Copies\":3,\"Forbidden\":true}"));
  RecordingSetupView& view = dialog->view;
  const std::map<SetupField, std::string> expected = {
      {SetupField::Name, "<b>Name</b> "}, {SetupField::FilterPOT, "RECHNUNG"},
      {SetupField::FilterOutput, "mail"}, {SetupField::FilterLayoutName, "Rechnung"},
      {SetupField::Destination, "print"}, {SetupField::SuperLayoutname, "Etikett"},
      {SetupField::LabelPrinter, "top"},  {SetupField::Printer, "Laser"},
      {SetupField::Bin, "Fach 2"},        {SetupField::Duplex, "vertical"},
      {SetupField::Count, "3"},
  };
  for (const auto& [field, text] : expected) EXPECT_EQ(view.FieldText(field), text) << static_cast<int>(field);
  EXPECT_TRUE(view.checked);
  // Filling does not refresh the bins: the list stays empty, the stored bin shows.
  EXPECT_TRUE(view.items[SetupField::Bin].empty());
  EXPECT_FALSE(dialog->form.Filling());
}

TEST_F(SetupFormTest, BinsFollowThePrinterTextExactly) {
  auto dialog = Open();
  dialog->form.LoadFromEntry(*Entry("{\"Defaultprinter\":\"Gibt es nicht\",\"DefaultprinterBinName\":\"Fach 7\"}"));
  dialog->PickAction(kActionChange);
  RecordingSetupView& view = dialog->view;
  EXPECT_EQ(view.FieldText(SetupField::Printer), "Gibt es nicht");
  EXPECT_TRUE(view.items[SetupField::Bin].empty());

  struct Case {
    const char* printer;
    std::vector<std::string> bins;
  };
  const Case cases[] = {
      {"Laser", {"Fach 1", "Fach 2", "Manuell"}},  // every printer of that name, in order
      {"Etiketten", {"Rolle"}},
      {"laser", {}},  // the name is compared exactly
      {"Laser ", {}},
      {"", {}},
  };
  for (const Case& c : cases) {
    dialog->Type(SetupField::Printer, c.printer);
    EXPECT_EQ(view.items[SetupField::Bin], c.bins) << c.printer;
  }
  // The bin field keeps its text when the list changes.
  EXPECT_EQ(view.FieldText(SetupField::Bin), "Fach 7");
}

TEST_F(SetupFormTest, LayoutWarningMarksNamesThatAreNotAmongTheLayouts) {
  WriteBytes(database + "Lieferschein_Groß_SUPERLAYOUT.da1", "");  // UTF-8 on disk
  auto dialog = Open();
  dialog->PickAction(kActionChange);
  struct Case {
    std::string text;
    bool red;
  };
  const Case cases[] = {
      {"", false},
      {Ansi(u8"Lieferschein_Groß"), false},
      {Ansi(u8"LIEFERSCHEIN_GROß"), false},  // a whole item, case ignored
      {"Lieferschein", true},
      {Ansi(u8"Lieferschein_Groß_SUPERLAYOUT"), true},
  };
  for (SetupField field : {SetupField::FilterLayoutName, SetupField::SuperLayoutname}) {
    for (const Case& c : cases) {
      dialog->Type(field, c.text);
      EXPECT_EQ(dialog->view.warnings[field], c.red) << c.text;
    }
  }
}

TEST_F(SetupFormTest, OnlyChangeAndAddNewMakeTheFieldsEditable) {
  auto dialog = Open();
  dialog->form.FillActions();
  EXPECT_EQ(dialog->view.actions,
            (std::vector<std::string>{Ansi(u8"Nichts änderbar"), Ansi(u8"Vorhandenen Eintrag ändern"),
                                      Ansi(u8"Als neuen Eintrag übernehmen"), Ansi(u8"Diesen Eintrag löschen")}));
  EXPECT_EQ(dialog->view.action, 0);
  dialog->ShowModal();
  EXPECT_TRUE(dialog->form.ReadOnly());
  EXPECT_TRUE(dialog->view.readOnly);
  const bool readOnlyFor[] = {true, false, false, true};
  for (int action : {1, 0, 2, 3, 1, 3}) {
    dialog->PickAction(action);
    EXPECT_EQ(dialog->form.ReadOnly(), readOnlyFor[action]) << action;
    EXPECT_EQ(dialog->view.readOnly, readOnlyFor[action]) << action;
    EXPECT_EQ(dialog->form.DCCKeyPress(), readOnlyFor[action]) << action;
  }
}

TEST_F(SetupFormTest, ExampleLinkFillsTheNameEvenWhenReadOnly) {
  auto dialog = Open();
  dialog->ShowModal();
  dialog->form.LinkLabel1AnchorClick();
  EXPECT_EQ(dialog->view.FieldText(SetupField::Name), "<IMG src=\"idx:0\" align=\"top \"> <b> Ihr Text (idx:0 bis 4) ");
}

TEST_F(SetupFormTest, StorageLinkShowsTheEntriesFile) {
  auto dialog = Open();
  dialog->form.SetEntriesFilePath(database + "Sonderdruck.V1/sdr.json");
  dialog->form.LinkLabel2AnchorClick("x");
  EXPECT_TRUE(shownInFolder.empty());
  dialog->form.LinkLabel2AnchorClick("O");
  EXPECT_EQ(shownInFolder, std::vector<std::string>{database + "Sonderdruck.V1/sdr.json"});
}

TEST(LayoutNameOfFile, DropsFolderExtensionAndEverySuperlayoutMark) {
  const std::pair<std::string, std::string> cases[] = {
      {"/db/Rechnung.da1", "Rechnung"},
      {"/db/Rechnung_SUPERLAYOUT.da1", "Rechnung"},
      {"/db/rechnung_superlayout.DA1", "rechnung"},
      {"/db/A_SUPERLAYOUT_SUPERLAYOUT.da1", "A"},
      {"/db/Mit.Punkt.da1", "Mit.Punkt"},
      {"/db/_SUPERLAYOUT.da1", ""},
  };
  for (const auto& [path, name] : cases) EXPECT_EQ(LayoutNameOfFile(path), name) << path;
}

TEST_F(SetupFormTest, PrinterAndBinTurnRedWhenNotOffered) {
  struct Case {
    std::string printer, bin;
    bool printerRed, binRed;
  };
  const Case cases[] = {
      {"Laser", "Fach 2", false, false}, {"Laser", "Manuell", false, false},  // both "Laser"s count
      {"Laser", "fach 2", false, true},  {"Laser", "", false, false},
      {"Flur", "Fach 1", true, false},   {"laser", "Fach 1", true, false},  // exact names; no bin judged
      {"", "Rolle", false, false},                                          // no printer: the default one, not judged
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.printer + "/" + c.bin);
    auto dialog = Open();
    dialog->form.LoadFromEntry(
        *Entry("{\"Defaultprinter\":\"" + c.printer + "\",\"DefaultprinterBinName\":\"" + c.bin + "\"}"));
    EXPECT_EQ(dialog->view.warnings[SetupField::Printer], c.printerRed) << "when shown";
    EXPECT_EQ(dialog->view.warnings[SetupField::Bin], c.binRed);
  }
  // Typing: the colours follow the printer and the bin.
  auto dialog = Open();
  dialog->form.LoadFromEntry(*Entry("{\"Defaultprinter\":\"Laser\",\"DefaultprinterBinName\":\"Rolle\"}"));
  EXPECT_TRUE(dialog->view.warnings[SetupField::Bin]);
  dialog->PickAction(kActionChange);
  dialog->Type(SetupField::Printer, "Etiketten");
  EXPECT_FALSE(dialog->view.warnings[SetupField::Bin]);
  dialog->Type(SetupField::Bin, "Fach 1");
  EXPECT_TRUE(dialog->view.warnings[SetupField::Bin]);
  dialog->Type(SetupField::Printer, "Weg");
  EXPECT_TRUE(dialog->view.warnings[SetupField::Printer]);
  EXPECT_FALSE(dialog->view.warnings[SetupField::Bin]);

  // Without a printer list nothing is red.
  answers["PRINTERS"] = "";
  auto silent = Open();
  silent->form.LoadFromEntry(*Entry("{\"Defaultprinter\":\"Flur\",\"DefaultprinterBinName\":\"X\"}"));
  EXPECT_FALSE(silent->view.warnings[SetupField::Printer]);
  EXPECT_FALSE(silent->view.warnings[SetupField::Bin]);
}

}  // namespace
