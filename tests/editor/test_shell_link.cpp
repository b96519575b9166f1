// Desktop shortcuts: the launcher file, its Exec line read back the way a
// desktop reads it, the link's name, the messages, and running it.
#include <sys/stat.h>
#include <unistd.h>

#include "app/command_line_start.h"
#include "app/entry_shortcut.h"
#include "app/main_window_features.h"
#include "app_fixture.h"
#include "editor_fakes.h"
#include "platform/codepage.h"
#include "platform/shell_link.h"
#include "support/bytes_equal.h"

using namespace wb;
using namespace wb::test;

namespace {

// The launcher's keys of the [Desktop Entry] group, values as written.
std::map<std::string, std::string> DesktopKeys(const std::string& path) {
  std::map<std::string, std::string> keys;
  std::istringstream in(ReadBytes(path));
  std::string line;
  bool inEntry = false;
  while (std::getline(in, line)) {
    if (line.rfind('[', 0) == 0) {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    auto equals = line.find('=');
    if (inEntry && equals != std::string::npos) keys[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return keys;
}

// A desktop's reading of a string value: \s \n \t \r \\ resolved.
std::string UnescapeString(const std::string& value) {
  std::string text;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      text += value[i];
      continue;
    }
    switch (value[++i]) {
      case 's': text += ' '; break;
      case 'n': text += '\n'; break;
      case 't': text += '\t'; break;
      case 'r': text += '\r'; break;
      case '\\': text += '\\'; break;
      default: text += '\\', text += value[i]; break;
    }
  }
  return text;
}

// A desktop's reading of Exec: the string value, "%%" as "%", then the
// arguments split at blanks with double-quoted parts and their four escapes.
std::vector<std::string> ExecArguments(const std::string& written) {
  std::string value = UnescapeString(written);
  std::string expanded;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '%' && i + 1 < value.size() && value[i + 1] == '%') ++i;
    expanded += value[i];
  }
  std::vector<std::string> arguments;
  std::string current;
  bool inArgument = false, quoted = false;
  for (size_t i = 0; i < expanded.size(); ++i) {
    char c = expanded[i];
    if (quoted) {
      if (c == '"') quoted = false;
      else if (c == '\\' && i + 1 < expanded.size() && std::string("\"`$\\").find(expanded[i + 1]) != std::string::npos)
        current += expanded[++i];
      else current += c;
    } else if (c == ' ') {
      if (inArgument) arguments.push_back(current), current.clear();
      inArgument = false;
    } else if (c == '"') {
      quoted = inArgument = true;
    } else {
      current += c, inArgument = true;
    }
  }
  EXPECT_FALSE(quoted) << written;
  if (inArgument) arguments.push_back(current);
  return arguments;
}

// A Windows program's reading of its command line after the program name, by
// the C run-time's rules: blanks separate outside double quotes; 2n
// backslashes before a quote stand for n, 2n+1 for n and a literal quote.
std::vector<std::string> WindowsArguments(const std::string& line) {
  std::vector<std::string> arguments;
  std::string current;
  bool inArgument = false, quoted = false;
  for (size_t i = 0; i < line.size();) {
    const char c = line[i];
    if (c == '\\') {
      size_t backslashes = 0;
      while (i < line.size() && line[i] == '\\') ++backslashes, ++i;
      if (i < line.size() && line[i] == '"') {
        current.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) current += '"', ++i;
      } else {
        current.append(backslashes, '\\');
      }
      inArgument = true;
    } else if (c == '"') {
      quoted = !quoted, inArgument = true, ++i;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inArgument) arguments.push_back(current), current.clear();
      inArgument = false, ++i;
    } else {
      current += c, inArgument = true, ++i;
    }
  }
  if (inArgument) arguments.push_back(current);
  return arguments;
}

class ShortcutTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    desktop = env.Root().string() + "/home/Desktop/";
    // A recording gio first on PATH: the launcher is marked trusted through it.
    const std::string bin = env.Dir("bin");
    gioRecord = env.Root().string() + "/gio.txt";
    WriteBytes(bin + "gio", "#!/bin/sh\nprintf '%s|' \"$@\" >> '" + gioRecord + "'\necho >> '" + gioRecord + "'\n");
    ::chmod((bin + "gio").c_str(), 0755);
    const char* path = std::getenv("PATH");
    env.Set("PATH", bin + ":" + (path ? path : "/usr/bin:/bin"));
  }
  void Start(const std::string& items) {
    WriteEntries(items);
    frm->FormCreate();
    AttachMainWindowFeatures(*frm, nullptr);
  }
  void Select(const std::string& row) {
    for (size_t i = 0; i < view.rows.size(); ++i)
      if (view.rows[i] == row) view.SelectIndex(static_cast<int>(i));
  }
  std::string desktop, gioRecord;
};

TEST_F(ShortcutTest, LauncherRunsTheProgramWithTheNameAsItsOneArgument) {
  Start(Entry("Lieferschein Kunde", "print", false, "U-7"));
  frm->LinkLabel1AnchorClick("L");
  const std::string launcher = desktop + "Lieferschein Kunde.desktop";
  EXPECT_EQ(test::Messages().TakeShownTexts(),
            std::vector<std::string>{Ansi(u8"Die Verknüpfung wurde auf dem Desktop unter folgendem Namen erzeugt:\r\n"
                                          u8"Lieferschein Kunde")});
  ASSERT_TRUE(std::filesystem::exists(launcher));
  struct stat st {};
  ASSERT_EQ(::stat(launcher.c_str(), &st), 0);
  EXPECT_NE(st.st_mode & S_IXUSR, 0u);

  auto keys = DesktopKeys(launcher);
  EXPECT_EQ(keys["Type"], "Application");
  EXPECT_EQ(keys["Name"], "Lieferschein Kunde");
  const std::string program = platform::GetModuleFileName();
  const std::vector<std::string> exec = ExecArguments(keys["Exec"]);
  EXPECT_EQ(exec, (std::vector<std::string>{program, "Lieferschein Kunde"}));
  EXPECT_EQ(keys["Path"], program.substr(0, program.rfind('/') + 1));
  EXPECT_EQ(keys["Icon"], "test_editor");  // the program's icon by name
  EXPECT_BYTES_EQ(ReadBytes(gioRecord), "set|" + launcher + "|metadata::trusted|true|\n");

  // Started as the launcher starts it, the program runs that entry and ends.
  RecordingView startView;
  ScriptedServer startServer;
  startServer.Answer("DBPATH", {database});
  startServer.Answer("APPPATH", {application});
  TLiveImportFrm started(startView, startServer, opener, {exec.begin() + 1, exec.end()});
  started.FormCreate();
  AttachMainWindowFeatures(started, nullptr);
  started.FormShow();
  ASSERT_EQ(startServer.writes.size(), 1u);
  EXPECT_EQ(startServer.writes[0].first, "PRINT");
  EXPECT_NE(startServer.writes[0].second.find("\"U-7\""), std::string::npos);
  EXPECT_EQ(startView.closeRequests, 1);
}

TEST_F(ShortcutTest, NamesTravelWholeThroughExec) {
  const std::string names[] = {
      "Schlicht",
      "Mit  zwei  Leerzeichen",
      "Zitat \"innen\"",
      "Back\\slash \\\\ doppelt",
      "Dollar $HOME und `date`",
      "Prozent 100% und %f %%",
      "Semikolon; & | > < * ? # ( ) ~ '",
      "Zeile\nzwei\tTab",
      Ansi(u8"Umlaute äöüß €"),
      " vorne und hinten ",
  };
  const std::string program = "/opt/Werk bank/bin/mehr\"fach%";
  for (const std::string& name : names) {
    const std::string written = platform::DesktopExecValue(program, {platform::AnsiToUtf8(name)});
    EXPECT_EQ(written.find('\n'), std::string::npos) << name;
    EXPECT_EQ(ExecArguments(written), (std::vector<std::string>{program, platform::AnsiToUtf8(name)})) << name;
  }
}

TEST_F(ShortcutTest, LinkFileNames) {
  const std::pair<std::string, std::string> cases[] = {
      {"Lieferschein Kunde", "Lieferschein Kunde.desktop"},
      {"Rechnung.DESKTOP", "Rechnung.DESKTOP"},  // no second extension
      {"Rechnung.desktop", "Rechnung.desktop"},
      {"  \"Zitat\" Name  ", "Zitat Name.desktop"},
      {"Rechnung 1/2", "Rechnung 1-2.desktop"},
      {"../../.profile", "..-..-.profile.desktop"},
      {"Rechnung.lnk", "Rechnung.lnk.desktop"},
      // What Windows refuses in a file name, and ":" that would name a data stream there.
      {"Rechnung 1:2 <Kunde>?", "Rechnung 12 Kunde.desktop"},
      {"a*b|c", "abc.desktop"},
      {"Tab\tim Namen", "Tabim Namen.desktop"},
      {" ??? ", "Mehrfachausgabe.desktop"},
      {"", "Mehrfachausgabe.desktop"},
  };
  for (const auto& [name, file] : cases) EXPECT_EQ(ShellLinkFileName(name), file) << name;
}

// The link's arguments as the started Windows program splits them: always the
// one entry name, whatever quotes and backslashes it holds.
TEST_F(ShortcutTest, LinkArgumentsReachTheProgramAsOneArgument) {
  EXPECT_EQ(ShellLinkArgumentsText("Lieferschein Kunde"), "\"Lieferschein Kunde\"");
  EXPECT_EQ(ShellLinkArgumentsText("Lieferschein"), "\"Lieferschein\"");
  EXPECT_EQ(ShellLinkArgumentsText("Zitat \"x\""), "\"Zitat \\\"x\\\"\"");
  const std::string names[] = {
      "Schlicht",
      "Zitat \"innen\"",
      "\"ganz in Anführung\"",
      "Ende mit Backslash\\",
      "Back\\\"slash vor Zitat",
      "zwei\\\\ vor \\\\\"",
      "Tab\tund  zwei Blanks",
      "",
      "\"",
      "a:b*c?",
  };
  for (const std::string& name : names)
    EXPECT_EQ(WindowsArguments(ShellLinkArgumentsText(name)), std::vector<std::string>{name}) << name;
}

TEST_F(ShortcutTest, NameEndingInDesktopGetsNoSecondExtension) {
  Start(Entry("Etiketten.DESKTOP", "print"));
  frm->LinkLabel1AnchorClick("L");
  EXPECT_TRUE(std::filesystem::exists(desktop + "Etiketten.DESKTOP"));
  EXPECT_FALSE(std::filesystem::exists(desktop + "Etiketten.DESKTOP.desktop"));
  EXPECT_EQ(ExecArguments(DesktopKeys(desktop + "Etiketten.DESKTOP")["Exec"]).back(), "Etiketten.DESKTOP");
}

TEST_F(ShortcutTest, NameWithQuotesAndMarkupIsPassedAsShownInTheList) {
  Start("{\"Info\":\"<b>Brief</b> \\\"Wichtig\\\"\",\"Destination\":\"pdf\"}");
  frm->LinkLabel1AnchorClick("L");
  const std::string launcher = desktop + "Brief Wichtig.desktop";
  ASSERT_TRUE(std::filesystem::exists(launcher));
  auto keys = DesktopKeys(launcher);
  EXPECT_EQ(keys["Name"], "Brief Wichtig");
  EXPECT_EQ(ExecArguments(keys["Exec"]).back(), "Brief \"Wichtig\"");
}

TEST_F(ShortcutTest, TheWindowComesToTheFrontAfterTheLinkWhetherWrittenOrNot) {
  Start(Entry("Lieferschein", "print"));
  frm->LinkLabel1AnchorClick("L");
  EXPECT_EQ(view.frontRequests, 1);
  std::filesystem::remove_all(desktop);
  WriteBytes(env.Root().string() + "/home/Desktop", "kein Ordner");
  frm->LinkLabel1AnchorClick("L");
  EXPECT_EQ(view.frontRequests, 2);
  EXPECT_EQ(test::Messages().TakeShownTexts().size(), 2u);
  view.SelectIndex(-1);
  frm->LinkLabel1AnchorClick("L");  // nothing selected: no link, nothing to bring forward
  EXPECT_EQ(view.frontRequests, 2);
}

TEST_F(ShortcutTest, ExistingLauncherIsReplaced) {
  Start(Entry("Lieferschein", "print"));
  WriteBytes(desktop + "Lieferschein.desktop", "alt");
  frm->LinkLabel1AnchorClick("L");
  EXPECT_EQ(DesktopKeys(desktop + "Lieferschein.desktop")["Name"], "Lieferschein");
  // No temporary file is left beside it.
  int files = 0;
  for (const auto& item : std::filesystem::directory_iterator(desktop)) files += item.is_regular_file();
  EXPECT_EQ(files, 1);
}

TEST_F(ShortcutTest, ALauncherThatCannotBeWrittenIsReportedAsAFailure) {
  Start(Entry("Lieferschein", "print"));
  // The desktop is a file: no folder can be made there, nothing written.
  std::filesystem::remove_all(desktop);
  WriteBytes(env.Root().string() + "/home/Desktop", "kein Ordner");
  frm->LinkLabel1AnchorClick("L");
  const auto texts = test::Messages().TakeShownTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].rfind(Ansi(u8"Die Verknüpfung konnte nicht auf dem Desktop erzeugt werden:\r\n") + desktop +
                               "Lieferschein.desktop",
                           0),
            0u)
      << texts[0];
  EXPECT_BYTES_EQ(ReadBytes(gioRecord), "");
}

// The launcher is written completely before it replaces anything: when that
// fails at the last step, the user is told why and no temporary file stays.
TEST_F(ShortcutTest, ALauncherThatCannotReplaceWhatIsThereLeavesNothingBehind) {
  Start(Entry("Lieferschein", "print"));
  std::filesystem::create_directories(desktop + "Lieferschein.desktop/Inhalt");
  frm->LinkLabel1AnchorClick("L");
  const auto texts = test::Messages().TakeShownTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], Ansi(u8"Die Verknüpfung konnte nicht auf dem Desktop erzeugt werden:\r\n") + desktop +
                          "Lieferschein.desktop\r\nZugriff verweigert");
  std::vector<std::string> names;
  for (const auto& item : std::filesystem::directory_iterator(desktop)) names.push_back(item.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{"Lieferschein.desktop"});
  EXPECT_TRUE(std::filesystem::exists(desktop + "Lieferschein.desktop/Inhalt"));
  EXPECT_BYTES_EQ(ReadBytes(gioRecord), "");
}

// A nameless entry would give a hidden "<Desktop>/.desktop" reported as made.
TEST_F(ShortcutTest, AnEntryWithoutANameGetsNoLauncher) {
  for (const char* info : {"", "   ", "<b> </b>", "\\\"\\\"", "<IMG src=\\\"idx:0\\\">"}) {
    SCOPED_TRACE(info);
    frm = std::make_unique<TLiveImportFrm>(view, server, opener);
    Start(std::string("{\"Info\":\"") + info + "\",\"Destination\":\"print\"}");
    frm->LinkLabel1AnchorClick("L");
    EXPECT_EQ(test::Messages().TakeShownTexts(), std::vector<std::string>{Ansi(kShortcutWithoutNameText)});
    EXPECT_FALSE(std::filesystem::exists(desktop + ".desktop"));
    EXPECT_FALSE(std::filesystem::exists(desktop + "Mehrfachausgabe.desktop"));
  }
  EXPECT_TRUE(!std::filesystem::exists(desktop) || std::filesystem::is_empty(desktop));
}

// The system's refusal in German words with the path, not "Systemfehler 206".
TEST_F(ShortcutTest, ANameTooLongIsReportedInWords) {
  const std::string name(300, 'x');
  Start(Entry(name, "print"));
  frm->LinkLabel1AnchorClick("L");
  const auto texts = test::Messages().TakeShownTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0], Ansi(u8"Die Verknüpfung konnte nicht auf dem Desktop erzeugt werden:\r\n") + desktop + name +
                          ".desktop\r\nDer Dateiname oder die Erweiterung ist zu lang.");
}

TEST(SystemErrorMessage, TheCommonErrorsInGermanWords) {
  const std::pair<uint32_t, const char*> cases[] = {
      {platform::kErrorFilenameExcedRange, "Der Dateiname oder die Erweiterung ist zu lang."},
      {platform::kErrorAccessDenied, "Zugriff verweigert"},
      {platform::kErrorFileNotFound, "Das System kann die angegebene Datei nicht finden."},
      {platform::kErrorPathNotFound, "Das System kann den angegebenen Pfad nicht finden."},
      {platform::kErrorDiskFull, "Auf dem Datenträger ist nicht genügend Speicherplatz vorhanden."},
      {platform::kErrorHandleDiskFull, "Der Datenträger ist voll."},
      {platform::kErrorSharingViolation,
       "Der Prozess kann nicht auf die Datei zugreifen, da sie von einem anderen Prozess verwendet wird."},
      {platform::kErrorWriteProtect, "Der Datenträger ist schreibgeschützt."},
  };
  for (const auto& [code, text] : cases)
    EXPECT_EQ(platform::SystemErrorMessage(code), platform::Utf8ToAnsi(text)) << code;
}

TEST_F(ShortcutTest, WithoutGioTheLauncherIsWrittenAllTheSame) {
  env.Set("PATH", env.Dir("empty-bin"));
  Start(Entry("Lieferschein", "print"));
  frm->LinkLabel1AnchorClick("L");
  EXPECT_TRUE(std::filesystem::exists(desktop + "Lieferschein.desktop"));
  EXPECT_BYTES_EQ(ReadBytes(gioRecord), "");
}

}  // namespace
