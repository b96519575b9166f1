// The main window as Qt shows it: Enter in the list, the "Öffnen" box, the
// button's texts during a run, and the settings written at close.
#include <QCheckBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "client/fast_ini_file.h"
#include "gui/qt/entry_combo_box.h"
#include "gui/qt/html_link_label.h"
#include "gui_fixture.h"
#include "json/wbjson.h"

using namespace wb;
using namespace wb::test;

namespace {

class MainWindowGuiTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    database = env.Dir("db");
    application = env.Dir("app");
    server.Answer("DBPATH", {database});
    server.Answer("APPPATH", {application});
    server.Answer("SIMPLEGETJSON", {"{\"Order\":[{\"PrintName\":\"Angebot 4711\",\"PrintUID\":\"A/17\"}]}"});
  }
  void WriteEntries(const std::string& items) {
    std::filesystem::create_directories(database + "Sonderdruck.V1");
    std::ofstream(database + "Sonderdruck.V1/sdr.json") << "{\"Items\":[" << items << "]}";
  }
  std::string database, application;
  ScriptedServer server;
  RecordingOpener opener;
};

const char* kPrintEntry = "{\"Info\":\"Druck\",\"Destination\":\"print\",\"UID\":\"P\"}";
const char* kPdfEntry = "{\"Info\":\"Angebot\",\"Destination\":\"pdf\",\"UID\":\"D\"}";

}  // namespace

TEST_F(MainWindowGuiTest, ShowsTheDatabaseAndTheEntries) {
  WriteEntries(std::string(kPdfEntry) + "," + kPrintEntry);
  Open(server, opener);
  EXPECT_EQ(window->windowTitle().toStdString(), "Datenbank: " + database);
  EXPECT_EQ(window->size(), QSize(413, 173));
  ASSERT_EQ(window->EntryList()->count(), 2);
  EXPECT_EQ(window->EntryList()->itemText(0).toStdString(), "[print] Druck");
  EXPECT_EQ(window->EntryList()->currentIndex(), 0);
  EXPECT_TRUE(window->OpenPdfBox()->isChecked());
}

TEST_F(MainWindowGuiTest, EnterInTheListStartsARun) {
  WriteEntries(kPrintEntry);
  Open(server, opener);
  EXPECT_EQ(window->focusWidget(), window->EntryList()) << "the window starts with the focus in the list";
  QTest::keyClick(window->EntryList(), Qt::Key_Return);
  EXPECT_EQ(server.Count("WRITE PRINT"), 1);
  EXPECT_TRUE(window->RunButton()->isEnabled());
}

TEST_F(MainWindowGuiTest, StartsCentredOnTheScreen) {
  WriteEntries(kPrintEntry);
  Open(server, opener);
  const QPoint centre = window->screen()->availableGeometry().center();
  const QPoint own = window->frameGeometry().center();
  EXPECT_LE((own - centre).manhattanLength(), 2) << own.x() << "," << own.y();
}

TEST_F(MainWindowGuiTest, EnterOnTheFocusedButtonStartsARun) {
  WriteEntries(kPrintEntry);
  Open(server, opener);
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
    const int before = server.Count("WRITE PRINT");
    window->RunButton()->setFocus();
    QTest::keyClick(window->RunButton(), key);
    EXPECT_EQ(server.Count("WRITE PRINT"), before + 1) << "key " << key;
  }
  // With the list focused, Enter runs the entry once, not twice.
  const int before = server.Count("WRITE PRINT");
  window->EntryList()->setFocus();
  QTest::keyClick(window->EntryList(), Qt::Key_Return);
  EXPECT_EQ(server.Count("WRITE PRINT"), before + 1);
}

TEST_F(MainWindowGuiTest, PickingAPrintEntryDisablesOpen) {
  WriteEntries(std::string(kPdfEntry) + "," + kPrintEntry);
  Open(server, opener);
  // The print entry is listed first and selected at start: "Öffnen" follows it
  // without the user's pick.
  EXPECT_FALSE(window->OpenPdfBox()->isEnabled());
  window->EntryList()->setCurrentIndex(0);
  emit window->EntryList()->activated(0);
  EXPECT_FALSE(window->OpenPdfBox()->isEnabled());
  EXPECT_TRUE(window->OpenPdfBox()->isChecked());
  window->EntryList()->setCurrentIndex(1);
  emit window->EntryList()->activated(1);
  EXPECT_TRUE(window->OpenPdfBox()->isEnabled());
}

TEST_F(MainWindowGuiTest, TheButtonShowsItsTextsDuringAPdfRun) {
  WriteEntries(kPdfEntry);
  Open(server, opener);
  std::vector<QString> texts;
  QTimer sampler;
  QObject::connect(&sampler, &QTimer::timeout, [&] {
    QString text = window->RunButton()->text();
    if (texts.empty() || texts.back() != text) texts.push_back(text);
  });
  sampler.start(5);
  server.onWrite = [&](const std::string&, const std::string& data) {
    texts.push_back(window->RunButton()->text());
    // The server's PDF, then its spool file, arrive a little later.
    const std::string pdf = TWBJSONText::Parse(data)->StringByName("PDFFileName");
    QTimer::singleShot(100, [&, pdf] {
      std::ofstream(pdf) << "%PDF";
      std::filesystem::create_directories(application + "SPOOLER/PDFX");
      std::ofstream(application + "SPOOLER/PDFX/Angebot 4711 A17.pdf") << "%PDF";
    });
  };
  QTest::mouseClick(window->RunButton(), Qt::LeftButton);
  sampler.stop();
  texts.push_back(window->RunButton()->text());
  std::vector<QString> expected = {QString::fromUtf8("Löschen"), "Warten", QString::fromUtf8("Öffnen"), "Los!"};
  auto next = expected.begin();
  for (const QString& text : texts)
    if (next != expected.end() && text == *next) ++next;
  EXPECT_EQ(next, expected.end()) << texts.size();
  EXPECT_EQ(opener.opened.size(), 1u);
}

TEST_F(MainWindowGuiTest, ClosingTheWindowDuringTheWaitOpensNothing) {
  WriteEntries(kPdfEntry);
  Open(server, opener);
  window->OpenPdfBox()->setChecked(true);
  // The server takes the command, but its PDF has not come when the user closes the window.
  server.onWrite = [&](const std::string&, const std::string&) {
    QTimer::singleShot(100, window.get(), &QWidget::close);
  };
  QTest::mouseClick(window->RunButton(), Qt::LeftButton);
  EXPECT_EQ(server.Count("WRITE CREATEPDF"), 1);
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(opener.opened.empty());
  EXPECT_TRUE(opener.shown.empty());
}

TEST_F(MainWindowGuiTest, AShortcutBringsTheWindowToTheFront) {
  WriteEntries(kPrintEntry);
  Open(server, opener);
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  ASSERT_FALSE(window->isActiveWindow());
  test::Messages().SetNextAnswer(MessageAnswer::Ok);
  emit window->LinkLabel()->anchorClicked("L");
  EXPECT_EQ(test::Messages().TakeShownTexts().size(), 1u);
  EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
}

TEST_F(MainWindowGuiTest, SettingsAreWrittenAtClose) {
  WriteEntries(std::string(kPdfEntry) + "," + kPrintEntry);
  Open(server, opener);
  window->EntryList()->setCurrentIndex(1);
  window->OpenPdfBox()->setChecked(false);
  window->close();
  TFastIniFile settings(TLiveImportFrm::SettingsFilePath());
  EXPECT_EQ(settings.ReadNumber("Setup", "ItemIndex", 0), 1);
  EXPECT_FALSE(settings.ReadFlag("Setup", "OpenPDF", true));
}

TEST_F(MainWindowGuiTest, RaisedErrorsGoToTheErrorBox) {
  WriteEntries(kPrintEntry);
  Open(server, opener);
  server.Answer("DBPATH", {"/anders/"});
  test::Messages().SetNextAnswer(MessageAnswer::Ok);
  QTest::mouseClick(window->RunButton(), Qt::LeftButton);
  auto texts = test::Messages().TakeShownTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].rfind("Datenbank wurde gewechselt!", 0), 0u);
  EXPECT_EQ(server.Count("WRITE PRINT"), 0);
}
