// wb-screenshots-win32.exe: pictures of the Windows program for the
// documentation (scripts/screenshots-win32). Starts the real program against
// the test server with the demo database, and saves the main window, the
// editor read-only and the editor unlocked as PNG files.
//   wb-screenshots-win32.exe OUTPUT-FOLDER DEMO-FOLDER
#include <cstdio>
#include <string>

#include "client/file_helpers.h"
#include "gui/win32/control_ids.h"
#include "program_driver.h"
#include "scripted_server.h"
#include "support/files.h"
#include "window_pictures.h"

using namespace wb;
using namespace wb::test;

namespace {

std::string WithBackslash(std::string folder) {
  for (char& c : folder)
    if (c == '/') c = '\\';
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

bool CopyFolderFiles(const std::string& from, const std::string& to) {
  ForceDirs(to);
  WIN32_FIND_DATAA found{};
  HANDLE search = ::FindFirstFileA((from + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) CopyFolderFiles(from + name + "\\", to + name + "\\");
    else ::CopyFileA((from + name).c_str(), (to + name).c_str(), FALSE);
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
  return true;
}

// The window has painted what it shows once its queue is idle.
void LetPaint(HWND window) {
  ::Sleep(300);
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
  ::Sleep(300);
}

bool Save(HWND window, const std::string& path) {
  LetPaint(window);
  const bool saved = SaveClientAreaPng(window, path);
  std::printf("%s %s\n", saved ? "written:" : "NOT written:", path.c_str());
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: wb-screenshots-win32 OUTPUT-FOLDER DEMO-FOLDER\n");
    return 2;
  }
  const std::string output = WithBackslash(argv[1]);
  const std::string demo = WithBackslash(argv[2]);
  char temp[MAX_PATH + 1] = {};
  ::GetTempPathA(sizeof temp, temp);
  const std::string root = std::string(temp) + "wbshots-" + std::to_string(::GetTickCount64()) + "\\";
  ScopedVariable tmp("TMP", root + "tmp");
  ScopedVariable tempVariable("TEMP", root + "tmp");
  ForceDirs(root + "tmp\\");
  const std::string database = root + "Daten\\";
  const std::string application = root + "Werkbank\\";
  CopyFolderFiles(demo + "database\\", database);
  ForceDirs(application + "SPOOLER\\PDFX\\");

  ScriptedServer server("WBK-SCREENSHOTS-" + std::to_string(::GetCurrentProcessId()), database, application);
  if (!server.Running()) return 1;
  // A missing demo file answers with an empty text.
  server.SetAnswer("SIMPLEGETJSON", ReadBytes(demo + "order.json"));
  server.SetAnswer("PRINTERS", ReadBytes(demo + "printers.json"));

  bool ok = true;
  ProgramDriver program;
  HWND window = program.MainWindow();
  if (window == nullptr) return 1;
  ok &= Save(window, output + "win32-main-window.png");
  // The entry list's context menu, opened as by the menu key at the selected row.
  HWND list = Control(window, win32::kIdEntryList);
  ::PostMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1);
  HWND menu = program.WaitForWindow(L"#32768", 10000);
  if (menu == nullptr) return 1;
  ok &= Save(menu, output + "win32-entry-menu.png");
  PressKey(menu, VK_ESCAPE);
  ClickLink(Control(window, win32::kIdLinkLabel), 1);
  HWND editor = program.WaitForWindow(win32::kSetupDialogClass);
  if (editor == nullptr) return 1;
  ok &= Save(editor, output + "win32-editor-read-only.png");
  Pick(Control(editor, win32::kIdAction), 1);
  ok &= Save(editor, output + "win32-editor.png");
  ::PostMessageW(editor, WM_CLOSE, 0, 0);
  program.AnswerMessageBox(L"Nein");
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  program.WaitForExit();
  return ok ? 0 : 1;
}
