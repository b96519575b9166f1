// End to end: the real mehrfachausgabe.exe against the test's own pipe server,
// driven through its controls as a user drives it. One program start per
// scenario (Wine starts are slow).
#include <gtest/gtest.h>
#include <shlobj.h>

#include "entries/setup_form.h"
#include "gui/win32/control_ids.h"
#include "gui/win32/win32_text.h"
#include "platform/codepage.h"
#include "program_fixture.h"
#include "support/bytes_equal.h"

using namespace wb;
using namespace wb::test;
using namespace wb::win32;

namespace {

std::wstring W(const char* utf8) { return Wide(platform::Utf8ToAnsi(utf8)); }

// The compact text of the PDF entry of kThreeEntries, as the tool sends it.
std::string PdfEntryJson(const std::string& pdfPath) {
  std::string escaped;
  for (char c : pdfPath) {
    if (c == '\\') escaped += "\\\\";
    else escaped += c;
  }
  return "{\"Info\":\"Angebot <b>fett<\\/b>\",\"Filter.POT\":\"ANGEBOT\",\"Filter.Output\":\"mail\","
         "\"Filter.LayoutName\":\"\",\"Destination\":\"pdf\",\"SuperLayoutname\":\"Angebot\",\"LabelPrinter\":\"\","
         "\"Defaultprinter\":\"\",\"DefaultprinterBinName\":\"\",\"DuplexType\":\"\",\"Copies\":1,\"Forbidden\":false,"
         "\"UID\":\"UID-PDF\",\"PDFFileName\":\"" +
         escaped + "\"}";
}

const char* const kPrintEntryJson =
    "{\"Info\":\"Lieferschein Lager\",\"Destination\":\"print\",\"Defaultprinter\":\"Lager 1\",\"Copies\":2,"
    "\"UID\":\"UID-PRINT\"}";

const std::vector<std::wstring> kThreeRows = {L"[print] Lieferschein Lager", L"[pdf] Angebot fett",
                                              L"[Extern] Extern Programm"};

RecordedRequest Last(ScriptedServer& server, const std::string& command) {
  RecordedRequest found;
  for (const RecordedRequest& request : server.Requests())
    if (request.Command == command) found = request;
  return found;
}

}  // namespace

TEST_F(ProgramTest, StartUpShowsTheDatabaseTheRowsInOrderAndTheRememberedChoice) {
  StartServer();
  WriteEntries(kThreeEntries);
  WriteSettings(2, false);
  ProgramDriver program;
  HWND window = program.MainWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Text(window), Wide("Datenbank: " + database_));
  HWND list = Control(window, kIdEntryList);
  EXPECT_EQ(ComboItems(list), kThreeRows);
  EXPECT_EQ(ComboSelection(list), 2);
  EXPECT_FALSE(Checked(Control(window, kIdOpenPdf)));
  EXPECT_FALSE(Enabled(Control(window, kIdOpenPdf)));  // "Öffnen" follows the restored entry, which makes no PDF
  EXPECT_EQ(Text(Control(window, kIdRunButton)), L"Los!");
  EXPECT_EQ(Text(Control(window, kIdLinkLabel)), W("Eigenschaften\n\nVerknüpfung erstellen"));

  // Picking the print entry disables "Öffnen".
  Pick(list, 0);
  EXPECT_TRUE(WaitUntil([&] { return !Enabled(Control(window, kIdOpenPdf)); }, 5000));

  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0);
  EXPECT_BYTES_EQ(SettingsText(), "[Setup]\r\nItemIndex=0\r\nOpenPDF=0\r\n");
  const std::vector<std::string> commands = server_->Commands();
  ASSERT_GE(commands.size(), 3u);
  EXPECT_EQ(commands[0], "SERVERPROCESS");
  EXPECT_EQ(std::vector<std::string>(commands.end() - 2, commands.end()),
            (std::vector<std::string>{"DBPATH", "APPPATH"}));
}

TEST_F(ProgramTest, LosRunsThePdfEntryAndTheShellOpensThePdf) {
  StartServer();
  WriteEntries(kThreeEntries);
  WriteSettings(1, true);
  ProgramDriver program;
  HWND window = program.MainWindow();
  ASSERT_NE(window, nullptr);
  Click(Control(window, kIdRunButton));
  ASSERT_TRUE(server_->WaitForCommand("CREATEPDF", 0, 20000));
  const std::string pdf = PdfPath("Angebot 4711 A17");
  const RecordedRequest request = Last(*server_, "CREATEPDF");
  EXPECT_EQ(request.Data, PdfEntryJson(pdf));
  EXPECT_BYTES_EQ(request.Block, ExpectedRequestBlock("CREATEPDF", -1, PdfEntryJson(pdf)));
  EXPECT_EQ(Opened(), pdf + "\n");
  EXPECT_TRUE(WaitUntil([&] { return Text(Control(window, kIdRunButton)) == L"Los!"; }, 15000));
  EXPECT_TRUE(Enabled(Control(window, kIdRunButton)));
  const std::vector<std::string> commands = server_->Commands();
  EXPECT_EQ(std::vector<std::string>(commands.end() - 3, commands.end()),
            (std::vector<std::string>{"DBPATH", "SIMPLEGETJSON", "CREATEPDF"}));
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0);
}

TEST_F(ProgramTest, EnterRunsThePrintEntryAndTheLinkTheCompletePdf) {
  StartServer();
  WriteEntries(kThreeEntries);
  WriteSettings(0, true);
  ProgramDriver program;
  HWND window = program.MainWindow();
  ASSERT_NE(window, nullptr);
  HWND list = Control(window, kIdEntryList);
  PressKey(list, VK_RETURN);
  ASSERT_TRUE(server_->WaitForCommand("PRINT", 0, 20000));
  EXPECT_BYTES_EQ(Last(*server_, "PRINT").Block, ExpectedRequestBlock("PRINT", -1, kPrintEntryJson));
  EXPECT_EQ(Last(*server_, "SIMPLEGETJSON").Command, "");  // a printout needs no order name

  ASSERT_TRUE(WaitUntil([&] { return Enabled(Control(window, kIdRunButton)); }, 10000));
  ASSERT_TRUE(ClickLink(Control(window, kIdCompletePdfLabel), 1));
  ASSERT_TRUE(server_->WaitForCommand("CURRENTPDF", 0, 20000));
  const std::string pdf = PdfPath("Angebot 4711 A17");
  std::string escaped;
  for (char c : pdf) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
  EXPECT_BYTES_EQ(Last(*server_, "CURRENTPDF").Block,
                  ExpectedRequestBlock("CURRENTPDF", -1, "{\"PDFFileName\":\"" + escaped + "\"}"));
  EXPECT_EQ(Opened(), pdf + "\n");
  EXPECT_EQ(ReadBytes(pdf).rfind("%PDF", 0), 0u);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0);
}

TEST_F(ProgramTest, OverviewPageIsWrittenOpenedAndRemovedAtTheEnd) {
  StartServer();
  WriteEntries(kThreeEntries);
  ProgramDriver program;
  HWND window = program.MainWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(ClickLink(Control(window, kIdIntroLabel), 1));
  const std::string opened = Opened();
  ASSERT_FALSE(opened.empty());
  const std::string page = opened.substr(0, opened.size() - 1);
  const std::string html = ReadBytes(page);
  EXPECT_EQ(html.rfind(platform::Utf8ToAnsi("<html><head><title>Übersicht</title>\r\n"), 0), 0u);
  EXPECT_NE(html.find("<div>Lieferschein Lager</div>"), std::string::npos);
  EXPECT_NE(html.find("Als Drucker wird <b>Lager 1</b> verwendet<br>"), std::string::npos);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0);
  EXPECT_FALSE(FileExists(page));
}

TEST_F(ProgramTest, ShortcutOnTheDesktopStartsItsEntry) {
  StartServer();
  WriteEntries(kThreeEntries);
  WriteSettings(0, true);
  const std::string link = Desktop() + "Lieferschein Lager.lnk";
  ::DeleteFileA(link.c_str());
  {
    ProgramDriver program;
    HWND window = program.MainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(ClickLink(Control(window, kIdLinkLabel), 2));
    EXPECT_NE(program.MessageBoxText().find(
                  W("Die Verknüpfung wurde auf dem Desktop unter folgendem Namen erzeugt:\r\nLieferschein Lager")),
              std::wstring::npos);
    EXPECT_TRUE(program.AnswerMessageBox(L"OK"));
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0);
  }
  ASSERT_TRUE(FileExists(link));

  // Opened as the desktop opens it: the program runs the entry and ends.
  const int printsBefore = static_cast<int>(server_->Commands().size());
  SHELLEXECUTEINFOW open{};
  open.cbSize = sizeof(open);
  open.fMask = SEE_MASK_NOCLOSEPROCESS;
  const std::wstring file = Wide(link);
  open.lpFile = file.c_str();
  open.nShow = SW_SHOWNORMAL;
  ASSERT_TRUE(::ShellExecuteExW(&open));
  ASSERT_TRUE(server_->WaitForCommand("PRINT", 0, 30000));
  EXPECT_EQ(Last(*server_, "PRINT").Data, kPrintEntryJson);
  if (open.hProcess != nullptr) {
    EXPECT_EQ(::WaitForSingleObject(open.hProcess, 20000), WAIT_OBJECT_0);
    ::CloseHandle(open.hProcess);
  }
  EXPECT_GT(static_cast<int>(server_->Commands().size()), printsBefore);
  ::DeleteFileA(link.c_str());
}

TEST_F(ProgramTest, EditorChangesTheEntryAndTheFileHoldsExactlyTheChange) {
  StartServer();
  server_->SetAnswer("PRINTERS",
                     "{\"Printers\":[{\"Name\":\"Lager 1\",\"Bins\":[{\"Bin\":\"Fach 1\"},{\"Bin\":\"Fach 2\"}]},"
                     "{\"Name\":\"Empfang\",\"Bins\":[{\"Bin\":\"Oben\"}]}]}");
  WriteEntries(kThreeEntries);
  WriteSettings(1, true);
  ProgramDriver program;
  HWND window = program.MainWindow();
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(ClickLink(Control(window, kIdLinkLabel), 1));
  HWND editor = program.WaitForWindow(kSetupDialogClass);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(Text(editor), L"Print & PDF");
  HWND name = Control(editor, kIdName);
  EXPECT_EQ(Text(name), L"Angebot <b>fett</b>");
  HWND copies = Control(editor, kIdFieldBase + static_cast<int>(SetupField::Count));
  EXPECT_EQ(Text(copies), L"1");
  HWND action = Control(editor, kIdAction);
  EXPECT_EQ(ComboItems(action),
            (std::vector<std::wstring>{W("Nichts änderbar"), W("Vorhandenen Eintrag ändern"),
                                       W("Als neuen Eintrag übernehmen"), W("Diesen Eintrag löschen")}));
  EXPECT_EQ(ComboSelection(action), 0);

  // Read-only: typing changes nothing, the check box cannot be used.
  Type(ComboEdit(copies), L"9");
  Type(name, L"x");
  EXPECT_FALSE(Enabled(Control(editor, kIdForbidden)));
  EXPECT_EQ(Text(copies), L"1");
  EXPECT_EQ(Text(name), L"Angebot <b>fett</b>");
  // The example link fills the name whatever the state.
  ASSERT_TRUE(ClickLink(Control(editor, kIdExampleLink), 1));
  EXPECT_TRUE(WaitUntil([&] { return Text(name) == Wide(kExampleEntryName); }, 5000)) << Narrow(Text(name));

  Pick(action, 1);
  ASSERT_TRUE(WaitUntil([&] { return Enabled(Control(editor, kIdForbidden)); }, 5000));
  // The printers come from the server; picking one offers its bins.
  HWND printer = Control(editor, kIdFieldBase + static_cast<int>(SetupField::Printer));
  HWND bin = Control(editor, kIdFieldBase + static_cast<int>(SetupField::Bin));
  EXPECT_EQ(ComboItems(printer), (std::vector<std::wstring>{L"Lager 1", L"Empfang"}));
  EXPECT_TRUE(ComboItems(bin).empty());
  Pick(printer, 1);
  EXPECT_TRUE(WaitUntil([&] { return ComboItems(bin) == std::vector<std::wstring>{L"Oben"}; }, 5000));
  Pick(printer, 0);
  EXPECT_TRUE(WaitUntil([&] { return ComboItems(bin) == std::vector<std::wstring>{L"Fach 1", L"Fach 2"}; }, 5000));
  Pick(bin, 1);
  EXPECT_TRUE(WaitUntil([&] { return Text(bin) == L"Fach 2"; }, 5000));
  ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Angebot neu"));
  ::SendMessageW(ComboEdit(copies), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  Type(ComboEdit(copies), L"3");
  EXPECT_EQ(Text(copies), L"3");
  ::PostMessageW(editor, WM_CLOSE, 0, 0);
  EXPECT_NE(program.MessageBoxText().find(W("Änderungen übernehmen?")), std::wstring::npos);
  ASSERT_TRUE(program.AnswerMessageBox(L"Ja"));
  HWND list = Control(window, kIdEntryList);
  EXPECT_TRUE(
      WaitUntil([&] { return ComboItems(list).size() == 3 && ComboItems(list)[1] == L"[pdf] Angebot neu"; }, 10000));
  const std::string expected =
      "{\r\n"
      "  \"LogFileName\":\"<TMP>log.json\",\r\n"
      "  \"Items\":[\r\n"
      "    {\r\n"
      "      \"Info\":\"Angebot neu\",\r\n"
      "      \"Filter.POT\":\"ANGEBOT\",\r\n"
      "      \"Filter.Output\":\"mail\",\r\n"
      "      \"Filter.LayoutName\":\"\",\r\n"
      "      \"Destination\":\"pdf\",\r\n"
      "      \"SuperLayoutname\":\"Angebot\",\r\n"
      "      \"LabelPrinter\":\"\",\r\n"
      "      \"Defaultprinter\":\"Lager 1\",\r\n"
      "      \"DefaultprinterBinName\":\"Fach 2\",\r\n"
      "      \"DuplexType\":\"\",\r\n"
      "      \"Copies\":3,\r\n"
      "      \"Forbidden\":false,\r\n"
      "      \"UID\":\"UID-PDF\"\r\n"
      "    },\r\n"
      "    {\r\n"
      "      \"Info\":\"Extern Programm\",\r\n"
      "      \"Destination\":\"Extern\",\r\n"
      "      \"UID\":\"UID-EXT\"\r\n"
      "    },\r\n"
      "    {\r\n"
      "      \"Info\":\"Lieferschein Lager\",\r\n"
      "      \"Destination\":\"print\",\r\n"
      "      \"Defaultprinter\":\"Lager 1\",\r\n"
      "      \"Copies\":2,\r\n"
      "      \"UID\":\"UID-PRINT\"\r\n"
      "    }\r\n"
      "  ]\r\n"
      "}\r\n";
  EXPECT_BYTES_EQ(EntriesText(), expected);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0);
}

TEST_F(ProgramTest, DirectStartByNameAndByUidRunsTheEntryAndEnds) {
  StartServer();
  WriteEntries(kThreeEntries);
  WriteSettings(0, true);
  {
    ProgramDriver program({"Lieferschein Lager"});
    EXPECT_EQ(program.WaitForExit(30000), 0);
  }
  EXPECT_EQ(Last(*server_, "PRINT").Data, kPrintEntryJson);
  {
    ProgramDriver program({"UID-PDF"});
    EXPECT_EQ(program.WaitForExit(30000), 0);
  }
  EXPECT_EQ(Last(*server_, "CREATEPDF").Data, PdfEntryJson(PdfPath("Angebot 4711 A17")));
  EXPECT_EQ(Opened(), PdfPath("Angebot 4711 A17") + "\n");
}

TEST_F(ProgramTest, ImportAddsNewEntriesAndUpdatesKnownOnesKeepingTheirFilters) {
  StartServer();
  WriteEntries(kThreeEntries);
  const std::string import = root_ + "import.json";
  {
    HANDLE file = ::CreateFileA(import.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const std::string text =
        "{\"Items\":[{\"Info\":\"Neu importiert\",\"Destination\":\"pdf\",\"UID\":\"UID-NEW\"},"
        "{\"Info\":\"Lieferschein Versand\",\"Filter.POT\":\"BRIEF\",\"Destination\":\"print\",\"UID\":\"UID-PDF\"}]}";
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
  }
  {
    ProgramDriver program({import});
    EXPECT_EQ(program.WaitForExit(30000), 0);
  }
  std::string entries = EntriesText();
  EXPECT_NE(entries.find("\"Info\":\"Neu importiert\""), std::string::npos);
  EXPECT_NE(entries.find("\"Info\":\"Angebot <b>fett<\\/b>\""), std::string::npos);  // known UID: left alone
  EXPECT_EQ(entries.find("Lieferschein Versand"), std::string::npos);
  {
    ProgramDriver program({import, "U"});
    EXPECT_EQ(program.WaitForExit(30000), 0);
  }
  entries = EntriesText();
  EXPECT_NE(entries.find("\"Info\":\"Lieferschein Versand\",\r\n      \"Filter.POT\":\"ANGEBOT\""), std::string::npos);
  EXPECT_EQ(entries.find("Angebot <b>fett"), std::string::npos);
  EXPECT_EQ(entries.find("\"Filter.POT\":\"BRIEF\""), std::string::npos);
}

// ---- bad input ----

TEST_F(ProgramTest, DamagedEntriesFileIsReportedAndReplacedByTheExample) {
  StartServer();
  WriteEntries("{\"Items\":[{\"Info\":");
  ProgramDriver program;
  const std::wstring text = program.MessageBoxText();
  EXPECT_NE(text.find(W("Die Datei ") + Wide(database_) + W("Sonderdruck.V1\\sdr.json ist leider beschädigt!")),
            std::wstring::npos)
      << Narrow(text);
  ASSERT_TRUE(program.AnswerMessageBox(L"OK"));
  HWND window = program.MainWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(ComboItems(Control(window, kIdEntryList)),
            (std::vector<std::wstring>{W("[pdf] Beispiel: Ändern Sie alles hier!  [Nicht benutzt]")}));
  EXPECT_NE(EntriesText().find(platform::Utf8ToAnsi("\"Info\":\"Beispiel: Ändern Sie alles hier!\"")),
            std::string::npos);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0);
}

TEST_F(ProgramTest, ServerClosingEarlyEndsTheProgramWithoutAWindow) {
  StartServer();
  WriteEntries(kThreeEntries);
  server_->CloseEarly(true);
  ProgramDriver program;
  EXPECT_EQ(program.WaitForExit(30000), 0);
  EXPECT_EQ(program.WaitForWindow(kMainWindowClass, 0), nullptr);
  EXPECT_BYTES_EQ(SettingsText(), "[Setup]\r\nItemIndex=-1\r\nOpenPDF=0\r\n");
}

// The server takes the PDF request and hangs up without an answer and without
// a PDF: the tool asks again (three attempts), waits its ten seconds for the
// spool file and goes on as for a late PDF; the window stays usable and the
// entries file is untouched.
TEST_F(ProgramTest, ServerHangingUpOnThePdfRequestLosesNothing) {
  StartServer();
  WriteEntries(kThreeEntries);
  WriteSettings(1, true);
  server_->CloseEarlyOn("CREATEPDF");
  ProgramDriver program;
  HWND window = program.MainWindow();
  ASSERT_NE(window, nullptr);
  Click(Control(window, kIdRunButton));
  ASSERT_TRUE(server_->WaitForCommand("CREATEPDF", 0, 20000));
  EXPECT_TRUE(WaitUntil([&] { return Text(Control(window, kIdRunButton)) == W("Warten"); }, 10000));
  EXPECT_EQ(ComboItems(Control(window, kIdEntryList)), kThreeRows);  // the window answers while it waits
  // After the wait the user is told that the PDF did not come; nothing is opened.
  const std::wstring message = program.MessageBoxText(40000);
  EXPECT_NE(message.find(W("Angebot 4711 A17.pdf")), std::wstring::npos) << Narrow(message);
  EXPECT_TRUE(program.AnswerMessageBox(L"OK"));
  EXPECT_TRUE(WaitUntil([&] { return Text(Control(window, kIdRunButton)) == L"Los!"; }, 30000));
  int attempts = 0;
  for (const std::string& command : server_->Commands()) attempts += command == "CREATEPDF";
  EXPECT_EQ(attempts, 3);
  EXPECT_FALSE(FileExists(PdfPath("Angebot 4711 A17")));
  EXPECT_BYTES_EQ(EntriesText(), kThreeEntries);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0);
}

TEST_F(ProgramTest, UmlautFolderAndAQuotedNameWithAColon) {
  StartServer(platform::Utf8ToAnsi("Bücher Größe"));
  const std::string name = "Lieferschein \"Nord\": Lager";
  std::string entries = kThreeEntries;
  entries.replace(entries.find("Lieferschein Lager"), 18, "Lieferschein \\\"Nord\\\": Lager");
  WriteEntries(entries);
  WriteSettings(0, true);
  {
    ProgramDriver program;
    HWND window = program.MainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Text(window), Wide("Datenbank: " + database_));
    EXPECT_EQ(ComboItems(Control(window, kIdEntryList))[0], Wide("[print] " + name));
    // The link's file name loses the quotes and the colon (no file name on Windows holds
    // them); the argument inside keeps the real name.
    ASSERT_TRUE(ClickLink(Control(window, kIdLinkLabel), 2));
    const std::wstring message = program.MessageBoxText();
    const bool made = message.find(W("Die Verknüpfung wurde auf dem Desktop")) != std::wstring::npos;
    if (made) EXPECT_TRUE(FileExists(Desktop() + "Lieferschein Nord Lager.lnk")) << Narrow(message);
    else EXPECT_NE(message.find(W("Die Verknüpfung konnte nicht")), std::wstring::npos) << Narrow(message);
    EXPECT_TRUE(program.AnswerMessageBox(L"OK"));
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0);
  }
  {
    ProgramDriver program({name});
    EXPECT_EQ(program.WaitForExit(30000), 0);
  }
  EXPECT_NE(Last(*server_, "PRINT").Data.find("\"Info\":\"Lieferschein \\\"Nord\\\": Lager\""), std::string::npos);
}

// ---- the command line ----

namespace {

// Runs the program with its standard output and error going into files; returns the exit code.
int RunWithStreams(const std::string& arguments, const std::string& out, const std::string& err) {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE outFile = ::CreateFileA(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  HANDLE errFile = ::CreateFileA(err.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = outFile;
  startup.hStdError = errFile;
  PROCESS_INFORMATION process{};
  std::string command = "\"" + BinFolder() + "mehrfachausgabe.exe\" " + arguments;
  const BOOL started =
      ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  ::CloseHandle(outFile);
  ::CloseHandle(errFile);
  if (!started) return -1;
  DWORD code = 1000;
  if (::WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0) ::GetExitCodeProcess(process.hProcess, &code);
  ::CloseHandle(process.hProcess);
  ::CloseHandle(process.hThread);
  return static_cast<int>(code);
}

}  // namespace

TEST_F(ProgramTest, VersionHelpAndAMissingServerAnswerOnTheStreams) {
  const std::string out = root_ + "out.txt", err = root_ + "err.txt";
  EXPECT_EQ(RunWithStreams("--version", out, err), 0);
  EXPECT_EQ(ReadBytes(out).rfind("mehrfachausgabe 0.", 0), 0u) << ReadBytes(out);
  EXPECT_EQ(RunWithStreams("--help", out, err), 0);
  EXPECT_NE(ReadBytes(out).find(platform::Utf8ToAnsi("  EINTRAG        Name oder UID eines Eintrags")),
            std::string::npos);
  // No server in this test's temporary folder: no window, one line on standard error.
  EXPECT_EQ(RunWithStreams("", out, err), 0);
  EXPECT_EQ(ReadBytes(err).rfind("mehrfachausgabe: Kein Server der Werkbank hat geantwortet", 0), 0u) << ReadBytes(err);
  // The windowless tasks answer on the streams too, with their own exit codes.
  EXPECT_EQ(RunWithStreams("--check", out, err), 2);
  EXPECT_EQ(ReadBytes(err).rfind("mehrfachausgabe: Kein Server der Werkbank hat geantwortet", 0), 0u) << ReadBytes(err);
  EXPECT_EQ(RunWithStreams("--check zuviel", out, err), 2);
  EXPECT_NE(ReadBytes(err).find("--check nimmt keine weiteren Argumente"), std::string::npos) << ReadBytes(err);
}

// ---- the installer ----

namespace {

int RunAndWait(const std::string& program, const std::vector<std::string>& arguments, int timeoutMs) {
  auto process = platform::StartProcess(program, arguments);
  if (!process) return -1;
  int code = 0;
  return process->Wait(timeoutMs, code) ? code : -1000;
}

std::string KnownFolder(int csidl) {
  char path[MAX_PATH + 1] = {};
  ::SHGetFolderPathA(nullptr, csidl, nullptr, 0, path);
  return path;
}

bool UninstallKeyExists() {
  HKEY key = nullptr;
  const LONG result =
      ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Mehrfachausgabe",
                      0, KEY_READ | KEY_WOW64_64KEY, &key);
  if (key != nullptr) ::RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

}  // namespace

TEST_F(ProgramTest, InstallerInstallsAProgramThatRunsAndUninstallsWithoutATrace) {
  const std::string setup = BinFolder() + "mehrfachausgabe-setup.exe";
  if (!FileExists(setup)) GTEST_SKIP() << "no installer in this build (makensis missing)";
  const std::string folder = KnownFolder(CSIDL_PROGRAM_FILES) + "\\Mehrfachausgabe\\";
  const std::string menu = KnownFolder(CSIDL_COMMON_PROGRAMS) + "\\Mehrfachausgabe\\";
  ASSERT_FALSE(FileExists(folder)) << "left over from an earlier run";

  ASSERT_EQ(RunAndWait(setup, {"/S"}, 60000), 0);
  EXPECT_BYTES_EQ(ReadBytes(folder + "mehrfachausgabe.exe"), ReadBytes(BinFolder() + "mehrfachausgabe.exe"));
  EXPECT_TRUE(FileExists(folder + "uninstall.exe"));
  EXPECT_TRUE(FileExists(menu + "Mehrfachausgabe.lnk"));
  EXPECT_TRUE(UninstallKeyExists());

  // The installed program in the direct-start form.
  StartServer();
  WriteEntries(kThreeEntries);
  {
    ProgramDriver program(folder + "mehrfachausgabe.exe", {"Lieferschein Lager"});
    EXPECT_EQ(program.WaitForExit(30000), 0);
  }
  EXPECT_EQ(Last(*server_, "PRINT").Data, kPrintEntryJson);

  // The uninstaller copies itself away and ends at once; its copy removes the folder.
  EXPECT_EQ(RunAndWait(folder + "uninstall.exe", {"/S"}, 60000), 0);
  EXPECT_TRUE(WaitUntil([&] { return !FileExists(folder) && !UninstallKeyExists(); }, 60000)) << folder;
  EXPECT_FALSE(FileExists(menu));
  EXPECT_FALSE(UninstallKeyExists());
}
