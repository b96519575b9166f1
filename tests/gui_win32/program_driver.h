// Test support: the real mehrfachausgabe.exe started by the test and driven
// from outside as a user drives it — messages to its controls (clicks, picks,
// typed text, keys) and answers to its message boxes — with what its windows
// show read back through the same messages.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gui/win32/win32_headers.h"
#include "platform/processes.h"
#include "support/environment.h"

namespace wb::test {

// The folder of the program under test (WB_BIN_DIR), with a trailing backslash.
std::string BinFolder();

class ProgramDriver {
 public:
  explicit ProgramDriver(const std::vector<std::string>& arguments = {});
  // Another copy of the program (an installed one).
  ProgramDriver(const std::string& program, const std::vector<std::string>& arguments);
  ~ProgramDriver();  // a program still running is ended
  ProgramDriver(const ProgramDriver&) = delete;
  ProgramDriver& operator=(const ProgramDriver&) = delete;

  bool Started() const { return process_ != nullptr; }
  // Waits for a visible top-level window of the program with that class
  // ("#32770" for a message box); nullptr after the time-out.
  HWND WaitForWindow(const wchar_t* className, int timeoutMs = 20000);
  HWND MainWindow(int timeoutMs = 20000);
  // The program's end: its exit code, or -1000 when it did not end in time.
  int WaitForExit(int timeoutMs = 20000);

  // A message box: the texts of its controls joined by "\n", and a click on
  // the button with the given text ("OK", "Ja", "Nein"). Waits for the box.
  std::wstring MessageBoxText(int timeoutMs = 20000);
  bool AnswerMessageBox(const wchar_t* button, int timeoutMs = 20000);

 private:
  std::unique_ptr<platform::ChildProcess> process_;
};

// Reading and driving controls.
HWND Control(HWND window, int id);
std::wstring Text(HWND window);
std::vector<std::wstring> ComboItems(HWND combo);
int ComboSelection(HWND combo);
bool Checked(HWND checkBox);
bool Enabled(HWND window);
// A click on a button, as the mouse makes it (posted: the program may run a while).
void Click(HWND button);
// A click on link n (from 1) of a link label.
bool ClickLink(HWND label, int anchor);
// The user picks item index of a drop-down.
void Pick(HWND combo, int index);
// The user types text into an edit field (or a drop-down's field), one character at a time;
// returns when the field has handled them.
void Type(HWND edit, const std::wstring& text);
void PressKey(HWND window, UINT key);
// The edit field inside an editable drop-down.
HWND ComboEdit(HWND combo);
// Waits until a predicate holds, checking every 20 ms.
template <typename Predicate>
bool WaitUntil(Predicate done, int timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  while (!done()) {
    if (::GetTickCount64() > end) return false;
    ::Sleep(20);
  }
  return true;
}

}  // namespace wb::test
