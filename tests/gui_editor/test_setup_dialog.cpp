// The editor dialog offscreen: its layout, the read-only state as the toolkit
// enforces it (typing, arrow keys, the wheel, the list and the check box),
// the bins and the layout colour, and the dialog opened from the main window.
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app_fakes.h"
#include "client/message_boxes.h"
#include "entries/entries_file.h"
#include "gui/qt/html_link_label.h"
#include "gui/qt/setup_dialog.h"
#include "gui_fixture.h"
#include "platform/codepage.h"

using namespace wb;
using namespace wb::gui;
using namespace wb::test;

namespace {

constexpr SetupField kDropDowns[] = {
    SetupField::FilterLayoutName, SetupField::FilterPOT,    SetupField::FilterOutput, SetupField::Destination,
    SetupField::SuperLayoutname,  SetupField::LabelPrinter, SetupField::Printer,      SetupField::Bin,
    SetupField::Duplex,           SetupField::Count,
};

class SetupDialogTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    database = env.Dir("db");
    std::ofstream(database + "Rechnung_SUPERLAYOUT.da1") << "";
    answers["DBPATH"] = database;
    answers["PRINTERS"] =
        "{\"Printers\":[{\"Name\":\"Laser\",\"Bins\":[{\"Bin\":\"Fach 1\"},{\"Bin\":\"Fach 2\"}]},"
        "{\"Name\":\"B\xFCro\",\"Bins\":[{\"Bin\":\"Rolle\"}]}]}";
  }
  std::unique_ptr<SetupDialog> Make() {
    TSetupServices services;
    services.ReadServerValue = [this](const std::string& command) { return answers[command]; };
    services.ShowInFolder = [this](const std::string& path) { shown.push_back(path); };
    services.Confirm = [](const std::string& question) {
      return MessageBoxes::AskYesNo(question, MessageIcon::Warning);
    };
    return std::make_unique<SetupDialog>(std::move(services));
  }
  // A dialog showing an entry, as the main window opens it.
  std::unique_ptr<SetupDialog> Shown() {
    auto dialog = Make();
    auto entry = TWBJSONText::Parse(
        "{\"Info\":\"Lieferschein\",\"Filter.LayoutName\":\"Rechnung\",\"Destination\":\"print\","
        "\"Defaultprinter\":\"Laser\",\"DefaultprinterBinName\":\"Fach 2\",\"Copies\":2,\"Forbidden\":false}");
    dialog->Form().LoadFromEntry(*entry);
    dialog->Form().FillActions();
    dialog->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    return dialog;
  }
  static QString Text(SetupDialog& dialog, SetupField field) {
    return QString::fromStdString(platform::AnsiToUtf8(dialog.FieldText(field)));
  }

  std::string database;
  std::map<std::string, std::string> answers;
  std::vector<std::string> shown;
};

TEST_F(SetupDialogTest, LayoutAsDesigned) {
  auto dialog = Make();
  EXPECT_EQ(dialog->windowTitle(), "Print & PDF");
  EXPECT_EQ(dialog->size(), QSize(511, 450));
  EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize());
  EXPECT_EQ(dialog->NameEdit()->geometry(), QRect(108, 16, 377, 23));
  const std::pair<SetupField, int> tops[] = {
      {SetupField::FilterLayoutName, 84}, {SetupField::FilterPOT, 111},
      {SetupField::FilterOutput, 138},    {SetupField::Destination, 194},
      {SetupField::SuperLayoutname, 223}, {SetupField::LabelPrinter, 253},
      {SetupField::Printer, 282},         {SetupField::Bin, 311},
      {SetupField::Duplex, 341},          {SetupField::Count, 370},
  };
  for (const auto& [field, top] : tops) {
    EXPECT_EQ(dialog->Field(field)->pos(), QPoint(108, top)) << static_cast<int>(field);
    EXPECT_EQ(dialog->Field(field)->width(), 377);
    EXPECT_TRUE(dialog->Field(field)->isEditable());
    EXPECT_TRUE(dialog->Field(field)->font().bold());
  }
  EXPECT_EQ(dialog->ForbiddenBox()->pos(), QPoint(180, 41));
  EXPECT_EQ(dialog->ForbiddenBox()->text(), "Nicht benutzen");
  EXPECT_EQ(dialog->ExampleLink()->pos(), QPoint(312, 39));
  EXPECT_EQ(dialog->StorageLink()->pos(), QPoint(24, 410));
  EXPECT_EQ(dialog->ActionBox()->geometry(), QRect(236, 411, 249, 23));
  EXPECT_FALSE(dialog->ActionBox()->isEditable());
  EXPECT_EQ(dialog->ActionBox()->focusPolicy() & Qt::TabFocus, 0);
  // The offered lists.
  EXPECT_EQ(dialog->Field(SetupField::Printer)->count(), 2);
  EXPECT_EQ(dialog->Field(SetupField::Printer)->itemText(1), QString::fromUtf8("Büro"));
  EXPECT_EQ(dialog->Field(SetupField::FilterPOT)->itemText(6), QString::fromUtf8("auftragsbestätigung"));
  EXPECT_EQ(dialog->Field(SetupField::SuperLayoutname)->itemText(0), "Rechnung");
  // Filling the lists leaves the fields empty.
  for (SetupField field : kDropDowns) EXPECT_EQ(Text(*dialog, field), "") << static_cast<int>(field);
}

TEST_F(SetupDialogTest, ReadOnlyStartDiscardsEveryChange) {
  auto dialog = Shown();
  EXPECT_EQ(dialog->ActionIndex(), 0);
  EXPECT_TRUE(dialog->Form().ReadOnly());
  EXPECT_TRUE(dialog->NameEdit()->hasFocus());

  QTest::keyClicks(dialog->NameEdit(), "xyz");
  QTest::keyClick(dialog->NameEdit(), Qt::Key_Backspace);
  EXPECT_EQ(dialog->NameEdit()->text(), "Lieferschein");
  for (SetupField field : kDropDowns) {
    SetupComboBox* combo = dialog->Field(field);
    const QString before = combo->currentText();
    const int index = combo->currentIndex();
    QTest::keyClicks(combo->lineEdit(), "abc");
    QTest::keyClick(combo->lineEdit(), Qt::Key_Backspace);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Up);
    QWheelEvent wheel(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(combo, &wheel);
    combo->showPopup();
    EXPECT_FALSE(combo->view()->isVisible()) << static_cast<int>(field);
    EXPECT_EQ(combo->currentText(), before) << static_cast<int>(field);
    EXPECT_EQ(combo->currentIndex(), index) << static_cast<int>(field);
  }
  EXPECT_FALSE(dialog->ForbiddenBox()->isEnabled());
  QTest::mouseClick(dialog->ForbiddenBox(), Qt::LeftButton);
  QTest::keyClick(dialog->ForbiddenBox(), Qt::Key_Space);
  EXPECT_FALSE(dialog->ForbiddenBox()->isChecked());

  // "Diesen Eintrag löschen" keeps the fields read-only too.
  dialog->ActionBox()->setCurrentIndex(kActionDelete);
  QTest::keyClicks(dialog->Field(SetupField::Count)->lineEdit(), "9");
  EXPECT_EQ(Text(*dialog, SetupField::Count), "2");
}

// Dark pixels in the strip where a drop-down shows its button's arrow.
int ArrowPixels(QWidget& combo) {
  const QImage image = combo.grab().toImage();
  int dark = 0;
  for (int x = image.width() - 20; x < image.width() - 3; ++x)
    for (int y = 4; y < image.height() - 4; ++y) dark += qGray(image.pixel(x, y)) < 128;
  return dark;
}

TEST_F(SetupDialogTest, ReadOnlyDropDownsShowNoButton) {
  auto dialog = Shown();
  for (SetupField field : kDropDowns) EXPECT_EQ(ArrowPixels(*dialog->Field(field)), 0) << static_cast<int>(field);
  dialog->ActionBox()->setCurrentIndex(kActionAddNew);
  for (SetupField field : kDropDowns) EXPECT_GT(ArrowPixels(*dialog->Field(field)), 0) << static_cast<int>(field);
  dialog->ActionBox()->setCurrentIndex(kActionNothing);
  for (SetupField field : kDropDowns) EXPECT_EQ(ArrowPixels(*dialog->Field(field)), 0) << static_cast<int>(field);
}

TEST_F(SetupDialogTest, ChangeActionUnlocksTheFields) {
  auto dialog = Shown();
  dialog->ActionBox()->setCurrentIndex(kActionChange);
  EXPECT_FALSE(dialog->Form().ReadOnly());
  dialog->NameEdit()->end(false);
  QTest::keyClicks(dialog->NameEdit(), " neu");
  EXPECT_EQ(dialog->NameEdit()->text(), "Lieferschein neu");
  SetupComboBox* count = dialog->Field(SetupField::Count);
  count->lineEdit()->selectAll();
  QTest::keyClicks(count->lineEdit(), "zwei");
  EXPECT_EQ(Text(*dialog, SetupField::Count), "zwei");
  QTest::mouseClick(dialog->ForbiddenBox(), Qt::LeftButton);
  EXPECT_TRUE(dialog->ForbiddenBox()->isChecked());
  // Back to "Nichts änderbar" asks first: "Nein" keeps the edits, editable,
  // with the action list showing the change again.
  test::Messages().TakeShownTexts();
  test::Messages().SetNextAnswer(MessageAnswer::No);
  dialog->ActionBox()->setCurrentIndex(kActionNothing);
  EXPECT_EQ(test::Messages().TakeShownTexts(), std::vector<std::string>{Ansi(kDiscardEditsQuestion)});
  EXPECT_EQ(dialog->ActionBox()->currentIndex(), kActionChange);
  QTest::keyClicks(dialog->NameEdit(), "!");
  EXPECT_EQ(dialog->NameEdit()->text(), "Lieferschein neu!");
  // "Ja": locked again, showing the stored entry.
  test::Messages().SetNextAnswer(MessageAnswer::Yes);
  dialog->ActionBox()->setCurrentIndex(kActionNothing);
  QTest::keyClicks(dialog->NameEdit(), "!");
  EXPECT_EQ(dialog->NameEdit()->text(), "Lieferschein");
  EXPECT_EQ(Text(*dialog, SetupField::Count), "2");
  EXPECT_FALSE(dialog->ForbiddenBox()->isChecked());
}

// The labels as the other fields have them: with their colon.
TEST_F(SetupDialogTest, EveryFieldLabelEndsWithItsColon) {
  auto dialog = Shown();
  std::vector<std::string> labels;
  for (QLabel* label : dialog->findChildren<QLabel*>()) labels.push_back(label->text().toStdString());
  for (const char* wanted : {"Layout:", "Anzahl:", "Typname:", "Name:"})
    EXPECT_NE(std::find(labels.begin(), labels.end(), wanted), labels.end()) << wanted;
  EXPECT_EQ(std::count(labels.begin(), labels.end(), "Layout:"), 2);
  EXPECT_EQ(std::find(labels.begin(), labels.end(), "Anzahl"), labels.end());
}

TEST_F(SetupDialogTest, BinsFollowThePrinterButNotTheFilling) {
  auto dialog = Shown();
  SetupComboBox* bins = dialog->Field(SetupField::Bin);
  EXPECT_EQ(bins->count(), 0);  // filled from the entry: no bins yet
  EXPECT_EQ(bins->currentText(), "Fach 2");
  dialog->ActionBox()->setCurrentIndex(kActionChange);
  dialog->Field(SetupField::Printer)->setCurrentIndex(1);  // the user picks "Büro"
  ASSERT_EQ(bins->count(), 1);
  EXPECT_EQ(bins->itemText(0), "Rolle");
  EXPECT_EQ(bins->currentText(), "Fach 2");  // the stored bin stays until changed
  dialog->Field(SetupField::Printer)->lineEdit()->selectAll();
  QTest::keyClicks(dialog->Field(SetupField::Printer)->lineEdit(), "Laser");
  EXPECT_EQ(bins->count(), 2);
}

// Typed values are stored as typed: an offered item that differs only in case
// must not take the typed text's place, whether the user leaves the field with
// Tab or confirms it with Enter; and the bins follow the exact printer name.
TEST_F(SetupDialogTest, TypedTextKeepsItsCase) {
  struct Case {
    SetupField field;
    const char* typed;
  };
  const Case cases[] = {
      {SetupField::Destination, "PDF"}, {SetupField::FilterPOT, "RECHNUNG"}, {SetupField::FilterOutput, "Mail"},
      {SetupField::Printer, "laser"},   {SetupField::Duplex, "Vertical"},
  };
  for (Qt::Key leave : {Qt::Key_Tab, Qt::Key_Return}) {
    auto dialog = Shown();
    dialog->ActionBox()->setCurrentIndex(kActionChange);
    for (const Case& c : cases) {
      QLineEdit* edit = dialog->Field(c.field)->lineEdit();
      edit->setFocus();
      edit->selectAll();
      QTest::keyClicks(edit, c.typed);
      QTest::keyClick(edit, leave);
      EXPECT_EQ(dialog->FieldText(c.field), c.typed) << "left with key " << leave;
    }
    EXPECT_EQ(dialog->Field(SetupField::Bin)->count(), 0) << "no printer is called \"laser\"";
  }
}

TEST_F(SetupDialogTest, UnknownLayoutNamesAreRed) {
  auto dialog = Shown();
  QLineEdit* layout = dialog->Field(SetupField::FilterLayoutName)->lineEdit();
  EXPECT_EQ(layout->palette().color(QPalette::Text), QColor(Qt::black));  // "Rechnung" is a layout
  dialog->ActionBox()->setCurrentIndex(kActionChange);
  QTest::keyClicks(layout, "X");
  EXPECT_EQ(layout->palette().color(QPalette::Text), QColor(255, 0, 0));
  layout->clear();
  EXPECT_EQ(layout->palette().color(QPalette::Text), QColor(Qt::black));
  QTest::keyClicks(layout, "rechnung");
  EXPECT_EQ(layout->palette().color(QPalette::Text), QColor(Qt::black));
}

TEST_F(SetupDialogTest, LinksFillTheExampleNameAndShowTheFile) {
  auto dialog = Shown();
  dialog->Form().SetEntriesFilePath("/db/Sonderdruck.V1/sdr.json");
  emit dialog->ExampleLink()->anchorClicked("E");
  EXPECT_EQ(dialog->NameEdit()->text(), "<IMG src=\"idx:0\" align=\"top \"> <b> Ihr Text (idx:0 bis 4) ");
  emit dialog->StorageLink()->anchorClicked("O");
  EXPECT_EQ(shown, std::vector<std::string>{"/db/Sonderdruck.V1/sdr.json"});
}

// The whole way from the main window: "Eigenschaften", the user's edits in
// the modal dialog, its close box, the confirmation and the written file.
TEST_F(SetupDialogTest, EditedFromTheMainWindowAndStored) {
  std::filesystem::create_directories(database + "Sonderdruck.V1");
  std::ofstream(database + "Sonderdruck.V1/sdr.json")
      << "{\"Items\":[{\"Info\":\"Lieferschein\",\"Destination\":\"print\",\"Copies\":2,\"UID\":\"U-1\"}]}";
  ScriptedServer server;
  server.Answer("DBPATH", {database});
  server.Answer("APPPATH", {env.Dir("app")});
  server.Answer("PRINTERS", {answers["PRINTERS"]});
  RecordingOpener opener;
  Open(server, opener);

  bool edited = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<SetupDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || edited) return;
    edited = true;
    EXPECT_EQ(dialog->NameEdit()->text(), "Lieferschein");
    dialog->ActionBox()->setCurrentIndex(kActionChange);
    dialog->Field(SetupField::Count)->lineEdit()->selectAll();
    QTest::keyClicks(dialog->Field(SetupField::Count)->lineEdit(), "zwei");
    dialog->close();
  });
  poll.start(10);
  test::Messages().SetNextAnswer(MessageAnswer::Yes);
  emit window->LinkLabel()->anchorClicked("E");
  poll.stop();
  ASSERT_TRUE(edited);
  EXPECT_EQ(test::Messages().TakeShownTexts(), std::vector<std::string>{Ansi(u8"Änderungen übernehmen?")});
  auto file = LoadEntriesDocument(database + "Sonderdruck.V1/sdr.json");
  ASSERT_TRUE(file);
  TWBCustomJSON* entry = EntryItems(file.get())->ChildAt(0);
  EXPECT_EQ(entry->IntegerByName("Copies"), 1);
  EXPECT_EQ(entry->StringByName("UID"), "U-1");
}

}  // namespace
