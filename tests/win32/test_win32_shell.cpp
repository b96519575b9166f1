// Shell services on Windows: a desktop link written through IShellLinkA and read
// back through it, a program started with a file (also from a folder with
// blanks), change notifications, and the answers for files that are not there.
#include <gtest/gtest.h>

#include "win32/win32_test_support.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "app/entry_shortcut.h"
#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/folder_watch.h"
#include "platform/keyboard.h"
#include "platform/shell.h"
#include "platform/shell_link.h"
#include "support/bytes_equal.h"
#include "support/temp_env.h"

namespace wb {
namespace {

using namespace std::chrono_literals;

struct LinkContents {
  std::string Path, Arguments, WorkingDirectory, Description, IconLocation;
  int IconIndex = -1, ShowCommand = -1;
  WORD HotKey = 0xFFFF;
};

// Loads a .lnk through the shell's own link object.
bool ReadLink(const std::string& linkPath, LinkContents& contents) {
  platform::ComScope com;
  IShellLinkA* link = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
    return false;
  IPersistFile* file = nullptr;
  bool ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
  wchar_t widePath[MAX_PATH];
  ::MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH);
  ok = ok && SUCCEEDED(file->Load(widePath, STGM_READ));
  char text[1024];
  auto take = [&](HRESULT result, std::string& into) {
    ok = ok && SUCCEEDED(result);
    if (ok) into = text;
  };
  if (ok) {
    take(link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH), contents.Path);
    take(link->GetArguments(text, sizeof text), contents.Arguments);
    take(link->GetWorkingDirectory(text, sizeof text), contents.WorkingDirectory);
    take(link->GetDescription(text, sizeof text), contents.Description);
    take(link->GetIconLocation(text, sizeof text, &contents.IconIndex), contents.IconLocation);
    ok = ok && SUCCEEDED(link->GetShowCmd(&contents.ShowCommand)) && SUCCEEDED(link->GetHotkey(&contents.HotKey));
  }
  if (file) file->Release();
  link->Release();
  return ok;
}

// The link's arguments as the started program splits them (CommandLineToArgvW
// after a program name), back in the system code page.
std::vector<std::string> ArgumentsAsStarted(const std::string& arguments) {
  const std::string line = "programm.exe " + arguments;
  std::wstring wide(line.size() + 1, L'\0');
  wide.resize(static_cast<size_t>(
                  ::MultiByteToWideChar(CP_ACP, 0, line.c_str(), -1, wide.data(), static_cast<int>(wide.size()))) -
              1);
  int count = 0;
  LPWSTR* split = ::CommandLineToArgvW(wide.c_str(), &count);
  std::vector<std::string> result;
  for (int i = 1; split != nullptr && i < count; ++i) {
    char text[1024] = {};
    ::WideCharToMultiByte(CP_ACP, 0, split[i], -1, text, sizeof text, nullptr, nullptr);
    result.push_back(text);
  }
  ::LocalFree(split);
  return result;
}

TEST(Win32ShellLink, TheDesktopLinkReadsBackThroughTheShellsLinkObject) {
  test::TempEnv env;
  const std::string folder = env.Dir("Desktop");
  const std::string name = Ansi(u8"Rechnung \"groß\" an Müller");
  std::string linkPath;
  ASSERT_TRUE(CreateShellLink(name, name, folder, name, linkPath)) << platform::LastError();
  EXPECT_EQ(linkPath, folder + Ansi(u8"Rechnung groß an Müller.lnk"));

  LinkContents link;
  ASSERT_TRUE(ReadLink(linkPath, link));
  const std::string program = platform::GetModuleFileName();
  EXPECT_EQ(link.Path, program);
  EXPECT_EQ(link.Arguments, Ansi(u8"\"Rechnung \\\"groß\\\" an Müller\""));
  EXPECT_EQ(ArgumentsAsStarted(link.Arguments), std::vector<std::string>{name});
  EXPECT_EQ(link.WorkingDirectory, ExtractFilePath(program));
  EXPECT_EQ(link.Description, Ansi(u8"Rechnung groß an Müller"));
  EXPECT_EQ(link.IconLocation, program);
  EXPECT_EQ(link.IconIndex, 0);
  EXPECT_EQ(link.ShowCommand, SW_SHOWNORMAL);
  EXPECT_EQ(link.HotKey, 0);

  // A name without quotes is given them, so the program gets it as one argument.
  ASSERT_TRUE(CreateShellLink("Lieferschein Kopie", "Lieferschein Kopie", folder, "Lieferschein Kopie", linkPath));
  ASSERT_TRUE(ReadLink(linkPath, link));
  EXPECT_EQ(link.Arguments, "\"Lieferschein Kopie\"");
  EXPECT_EQ(link.Description, "Lieferschein Kopie");

  // Written again, the link is replaced, not duplicated.
  ASSERT_TRUE(CreateShellLink("Lieferschein Kopie", "Neu", folder, "Lieferschein Kopie.LNK", linkPath));
  ASSERT_TRUE(ReadLink(folder + "Lieferschein Kopie.LNK", link));
  EXPECT_EQ(link.Description, "Neu");
}

// Names that Windows does not take as file names: the link's file drops what
// it cannot hold (":" would write into a data stream of a file "Rechnung 1"),
// the argument keeps the real name.
TEST(Win32ShellLink, ALinkForANameWithForbiddenCharactersIsAPlainFile) {
  test::TempEnv env;
  const std::string folder = env.Dir("Desktop");
  const std::pair<std::string, std::string> cases[] = {
      {"Rechnung 1:2", "Rechnung 12.lnk"},
      {"Wer? <Kunde> | *alle*", "Wer Kunde  alle.lnk"},
      {"Pfad\\mit/Trennern", "Pfad-mit-Trennern.lnk"},
      {"Ende\\", "Ende-.lnk"},
      {"\"ganz\" \\\"innen\\\"", "ganz -innen-.lnk"},
  };
  for (const auto& [name, file] : cases) {
    std::string linkPath;
    ASSERT_TRUE(CreateShellLink(name, name, folder, name, linkPath)) << name << ": " << platform::LastError();
    EXPECT_EQ(linkPath, folder + file);
    EXPECT_EQ(linkPath.find_first_of(":*?<>|\"", 2), std::string::npos) << linkPath;
    LinkContents link;
    ASSERT_TRUE(ReadLink(linkPath, link)) << linkPath;
    EXPECT_EQ(ArgumentsAsStarted(link.Arguments), std::vector<std::string>{name}) << link.Arguments;
  }
  EXPECT_TRUE(FileExistsEx(folder + "Rechnung 12.lnk"));
  EXPECT_FALSE(FileExistsEx(folder + "Rechnung 1"));
}

TEST(Win32ShellLink, AnUnwritableLinkIsReported) {
  test::TempEnv env;
  platform::TShellLink link;
  link.Path = platform::GetModuleFileName();
  EXPECT_FALSE(platform::SaveShellLink(link, env.Dir("x") + "fehlt\\nicht da.lnk"));
  EXPECT_NE(platform::LastError(), 0u);
  EXPECT_FALSE(platform::SaveShellLink(link, env.Dir("x") + std::string(300, 'l') + ".lnk"));
}

TEST(Win32Shell, AProgramInAFolderWithBlanksGetsTheFileAsOneArgument) {
  test::TempEnv env;
  const std::string folder = env.Dir("Programme mit Blank");
  const std::string program = folder + "test program.exe";
  ASSERT_TRUE(::CopyFileA(platform::GetModuleFileName().c_str(), program.c_str(), FALSE));
  const std::string out = env.Dir("out") + "args.txt";
  const std::string document = env.Dir("Belege") + "Rechnung 4711.pdf";
  {
    test::ScopedVariable mode("WB_WIN32_CHILD", "args");
    test::ScopedVariable output("WB_WIN32_CHILD_OUT", out);
    ASSERT_TRUE(platform::StartProgramWithFile(program, document));
  }
  auto end = std::chrono::steady_clock::now() + 30s;
  while (test::ReadBytes(out).empty() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(20ms);
  EXPECT_BYTES_EQ(test::ReadBytes(out), document + "\n");
  EXPECT_FALSE(platform::StartProgramWithFile(folder + "fehlt.exe", document));
}

TEST(Win32Shell, FilesThatAreNotThereAreNeitherShownNorAssociated) {
  test::TempEnv env;
  std::array<char, platform::kMaxPath> result;
  result.fill('x');
  EXPECT_LE(platform::FindExecutable(env.Dir("n") + "fehlt.pdf", result), 32);
  EXPECT_EQ(result[0], '\0');
  EXPECT_FALSE(platform::ShowItemInFolder(env.Dir("n") + "fehlt.pdf"));
  EXPECT_FALSE(platform::ShowItemInFolder(""));
  EXPECT_FALSE(platform::ShellExecuteFile("open", ""));
}

TEST(Win32Shell, AFolderWatchTellsOfANewFile) {
  test::TempEnv env;
  const std::string folder = env.Dir("spool");
  std::atomic<int> changes{0};
  auto watch = platform::FolderWatch::Start(folder, [&] { ++changes; });
  ASSERT_TRUE(watch);
  test::WriteBytes(folder + "auftrag.spl", "x");
  auto end = std::chrono::steady_clock::now() + 10s;
  while (changes.load() == 0 && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(10ms);
  EXPECT_GT(changes.load(), 0);
  watch.reset();  // ends its thread at once
  EXPECT_FALSE(platform::FolderWatch::Start(folder + "fehlt", [] {}));
}

TEST(Win32Shell, TheRightControlKeyIsAskedOfTheSystem) {
  bool held = true;
  EXPECT_TRUE(platform::QueryRightControlKey(held));
  EXPECT_FALSE(held);  // nobody presses keys during the tests
}

}  // namespace
}  // namespace wb
