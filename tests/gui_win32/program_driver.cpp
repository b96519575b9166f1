// ProgramDriver: the program found by its process id among the top-level
// windows; its controls by the ids of gui/win32/control_ids.h.
#include "program_driver.h"

#include <cstdlib>

#include "gui/win32/control_ids.h"
#include "gui/win32/link_label.h"
#include "gui/win32/win32_text.h"

namespace wb::test {
namespace {

struct WindowSearch {
  DWORD process;
  const wchar_t* className;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  if (process != search->process || !::IsWindowVisible(window)) return TRUE;
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  if (std::wstring(name) != search->className) return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK CollectChildren(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

std::vector<HWND> Children(HWND window) {
  std::vector<HWND> children;
  ::EnumChildWindows(window, CollectChildren, reinterpret_cast<LPARAM>(&children));
  return children;
}

}  // namespace

std::string BinFolder() {
  const char* dir = std::getenv("WB_BIN_DIR");
  std::string folder = dir != nullptr ? dir : "";
  for (char& c : folder)
    if (c == '/') c = '\\';
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder;
}

ProgramDriver::ProgramDriver(const std::vector<std::string>& arguments)
    : ProgramDriver(BinFolder() + "mehrfachausgabe.exe", arguments) {}

ProgramDriver::ProgramDriver(const std::string& program, const std::vector<std::string>& arguments)
    : process_(platform::StartProcess(program, arguments)) {}

ProgramDriver::~ProgramDriver() {
  if (!process_) return;
  int code = 0;
  if (process_->Wait(0, code)) return;
  process_->Terminate();
  if (!process_->Wait(5000, code)) {
    process_->Kill();
    process_->Wait(5000, code);
  }
}

HWND ProgramDriver::WaitForWindow(const wchar_t* className, int timeoutMs) {
  if (!process_) return nullptr;
  WindowSearch search{process_->Id(), className, nullptr};
  WaitUntil(
      [&] {
        search.found = nullptr;
        ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
      },
      timeoutMs);
  return search.found;
}

HWND ProgramDriver::MainWindow(int timeoutMs) { return WaitForWindow(win32::kMainWindowClass, timeoutMs); }

int ProgramDriver::WaitForExit(int timeoutMs) {
  int code = 0;
  return process_ && process_->Wait(timeoutMs, code) ? code : -1000;
}

std::wstring ProgramDriver::MessageBoxText(int timeoutMs) {
  HWND box = WaitForWindow(L"#32770", timeoutMs);
  if (box == nullptr) return L"<no message box>";
  std::wstring text;
  for (HWND child : Children(box)) {
    const std::wstring part = Text(child);
    if (part.empty()) continue;
    if (!text.empty()) text += L"\n";
    text += part;
  }
  return text;
}

bool ProgramDriver::AnswerMessageBox(const wchar_t* button, int timeoutMs) {
  HWND box = WaitForWindow(L"#32770", timeoutMs);
  if (box == nullptr) return false;
  for (HWND child : Children(box)) {
    if (Text(child) == button) {
      Click(child);
      // The box is gone before the program goes on.
      return WaitUntil([&] { return !::IsWindow(box) || !::IsWindowVisible(box); }, timeoutMs);
    }
  }
  return false;
}

HWND Control(HWND window, int id) { return ::GetDlgItem(window, id); }

// WM_GETTEXT itself: GetWindowText of another process's window gives only its
// caption as made, not what an edit field holds now.
std::wstring Text(HWND window) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return L"<hung>";
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  ::SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 5000,
                        &copied);
  text.resize(copied);
  return text;
}

std::vector<std::wstring> ComboItems(HWND combo) {
  std::vector<std::wstring> items;
  const auto count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const auto length = ::SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    std::wstring item(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const auto copied =
        ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
    item.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    items.push_back(item);
  }
  return items;
}

int ComboSelection(HWND combo) { return static_cast<int>(::SendMessageW(combo, CB_GETCURSEL, 0, 0)); }
bool Checked(HWND checkBox) { return ::SendMessageW(checkBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool Enabled(HWND window) { return ::IsWindowEnabled(window) != FALSE; }

void Click(HWND button) { ::PostMessageW(button, BM_CLICK, 0, 0); }

bool ClickLink(HWND label, int anchor) {
  static const UINT anchorPoint = ::RegisterWindowMessageW(win32::kAnchorPointMessageName);
  DWORD_PTR point = 0;
  if (!::SendMessageTimeoutW(label, anchorPoint, static_cast<WPARAM>(anchor), 0, SMTO_ABORTIFHUNG, 5000, &point) ||
      point == 0)
    return false;
  const LPARAM at = static_cast<LPARAM>(point);
  ::PostMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageW(label, WM_LBUTTONUP, 0, at);
  return true;
}

// What the drop-down does when the user picks: the selection, then the notification to its parent.
void Pick(HWND combo, int index) {
  ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::PostMessageW(::GetParent(combo), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

// Sent, not posted: when Type returns the field has handled every character.
void Type(HWND edit, const std::wstring& text) {
  for (wchar_t c : text) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(edit, WM_CHAR, c, 1, SMTO_ABORTIFHUNG, 5000, &result);
  }
}

void PressKey(HWND window, UINT key) {
  ::PostMessageW(window, WM_KEYDOWN, key, 1);
  ::PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

HWND ComboEdit(HWND combo) { return ::FindWindowExW(combo, nullptr, L"Edit", nullptr); }

}  // namespace wb::test
