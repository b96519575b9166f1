// The entry list's context menu in the real program: opened by the mouse on
// the list, by the keyboard, and by a right click into the open list; its
// items' states follow the selection; "Alle Einträge exportieren …" goes
// through the system's save dialog and writes the export file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "entries/entries_export.h"
#include "entries/entries_file.h"
#include "gui/win32/control_ids.h"
#include "gui/win32/win32_text.h"
#include "platform/codepage.h"
#include "program_fixture.h"
#include "support/bytes_equal.h"

using namespace wb;
using namespace wb::test;
using namespace wb::win32;

namespace {

// The file name field of the system's save dialog (control 0x47c, or 0x480 in older layouts): the
// edit field itself or the one inside it.
HWND FileNameField(HWND dialog) {
  for (int id : {0x47c, 0x480}) {
    HWND control = ::GetDlgItem(dialog, id);
    if (control == nullptr) continue;
    wchar_t name[64] = {};
    ::GetClassNameW(control, name, 64);
    if (std::wstring(name) == L"Edit") return control;
    HWND edit = nullptr;
    ::EnumChildWindows(
        control,
        [](HWND child, LPARAM found) -> BOOL {
          wchar_t childClass[64] = {};
          ::GetClassNameW(child, childClass, 64);
          if (std::wstring(childClass) != L"Edit") return TRUE;
          *reinterpret_cast<HWND*>(found) = child;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&edit));
    if (edit != nullptr) return edit;
  }
  return nullptr;
}

// Chooses item n (from 1) of the open menu by the keyboard, as the user does: the menu's item
// states cannot be read from another process under every system, what a choice does can.
void ChooseItem(HWND popup, int n) {
  for (int i = 0; i < n; ++i) PressKey(popup, VK_DOWN);
  PressKey(popup, VK_RETURN);
}

// A visible top-level window of the process with that class and caption.
HWND FindWindowOf(DWORD process, const wchar_t* className, const std::wstring& caption) {
  struct Search {
    DWORD process;
    const wchar_t* className;
    const std::wstring* caption;
    HWND found;
  } search{process, className, &caption, nullptr};
  ::EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        wchar_t name[64] = {};
        ::GetClassNameW(window, name, 64);
        if (owner != s->process || !::IsWindowVisible(window) || std::wstring(name) != s->className) return TRUE;
        if (!s->caption->empty() && Text(window) != *s->caption) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForWindowOf(DWORD process, const wchar_t* className, const std::wstring& caption = L"") {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindWindowOf(process, className, caption)) != nullptr; }, 20000);
  return found;
}

DWORD ProcessOf(HWND window) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  return process;
}

LPARAM ScreenPoint(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

// A right click on the closed list's field, as the system reports it.
void RightClick(HWND list) {
  RECT field{};
  ::GetWindowRect(list, &field);
  ::PostMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list),
                 ScreenPoint((field.left + field.right) / 2, (field.top + field.bottom) / 2));
}

// The menu key or Shift+F10.
void MenuKey(HWND list) { ::PostMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), -1); }

bool Gone(HWND window) {
  return WaitUntil([&] { return !::IsWindow(window) || !::IsWindowVisible(window); }, 10000);
}

// The entries of a file, in the order it holds them.
std::vector<const TWBCustomJSON*> Entries(TWBJSON& document) {
  std::vector<const TWBCustomJSON*> entries;
  TWBSONList* items = EntryItems(&document);
  for (int32_t i = 0; items != nullptr && i < items->ChildCount(); ++i) entries.push_back(items->ChildAt(i));
  return entries;
}

}  // namespace

TEST_F(ProgramTest, ContextMenuFollowsTheSelectionAndExportsAllEntriesThroughTheSaveDialog) {
  StartServer();
  WriteEntries(kThreeEntries);
  WriteSettings(1, false);  // the PDF entry
  ProgramDriver program;
  HWND window = program.MainWindow();
  ASSERT_NE(window, nullptr);
  const DWORD process = ProcessOf(window);
  HWND list = Control(window, kIdEntryList);
  auto previews = [&] {
    const std::vector<std::string> commands = server_->Commands();
    return std::count(commands.begin(), commands.end(), "CREATEPDF");
  };

  // The print entry and the menu key: its preview runs and the PDF is opened.
  Pick(list, 0);
  MenuKey(list);
  HWND popup = WaitForWindowOf(process, L"#32768");
  ASSERT_NE(popup, nullptr);
  ChooseItem(popup, 3);
  ASSERT_TRUE(server_->WaitForCommand("CREATEPDF", 0, 20000));
  const std::string opened = Opened();
  EXPECT_EQ(opened.substr(opened.size() - 5), ".pdf\n") << opened;
  EXPECT_TRUE(Gone(popup));
  ASSERT_TRUE(WaitUntil([&] { return Enabled(Control(window, kIdRunButton)); }, 15000));

  // A right click into the open list picks the row under the cursor first: the PDF entry,
  // whose preview item is grayed and does nothing.
  ::SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
  HWND dropped = WaitForWindowOf(process, L"ComboLBox");
  ASSERT_NE(dropped, nullptr);
  const auto rowHeight = static_cast<int>(::SendMessageW(dropped, LB_GETITEMHEIGHT, 0, 0));
  POINT row{10, rowHeight + rowHeight / 2};
  ::ClientToScreen(dropped, &row);
  ::PostMessageW(dropped, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dropped), ScreenPoint(row.x, row.y));
  popup = WaitForWindowOf(process, L"#32768");
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(ComboSelection(list), 1);
  EXPECT_FALSE(::IsWindowVisible(dropped)) << "the open list is closed for the menu";
  ChooseItem(popup, 3);
  if (!Gone(popup)) PressKey(popup, VK_ESCAPE);
  ASSERT_TRUE(Gone(popup));

  // "Eintrag exportieren …": the dialog offers the entry's name; cancelled, nothing is written.
  RightClick(list);
  popup = WaitForWindowOf(process, L"#32768");
  ASSERT_NE(popup, nullptr);
  ChooseItem(popup, 1);
  HWND dialog = WaitForWindowOf(process, L"#32770", WideUtf8(u8"Einträge exportieren"));
  ASSERT_NE(dialog, nullptr);
  HWND name = FileNameField(dialog);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(Text(name), L"Angebot fett.json");
  Click(Control(dialog, IDCANCEL));
  ASSERT_TRUE(Gone(dialog));

  // "Alle Einträge exportieren …" into a file named in the dialog.
  RightClick(list);
  popup = WaitForWindowOf(process, L"#32768");
  ASSERT_NE(popup, nullptr);
  ChooseItem(popup, 2);
  dialog = WaitForWindowOf(process, L"#32770", WideUtf8(u8"Einträge exportieren"));
  ASSERT_NE(dialog, nullptr);
  name = FileNameField(dialog);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(Text(name), WideUtf8(kExportAllFileName));
  const std::string exported = root_ + "alle.json";
  ::SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(exported).c_str()));
  Click(Control(dialog, IDOK));
  ASSERT_TRUE(Gone(dialog));
  EXPECT_EQ(program.MessageBoxText(),
            L"3 " + WideUtf8(u8"Einträge nach „") + Wide(exported) + WideUtf8(u8"“ exportiert.") + L"\nOK");
  EXPECT_TRUE(program.AnswerMessageBox(L"OK"));
  EXPECT_EQ(previews(), 1) << "the grayed preview ran nothing";

  // The file holds every entry in the order of the entries file, as the export writes it.
  const std::unique_ptr<TWBJSON> stored = LoadEntriesDocument(database_ + "Sonderdruck.V1\\sdr.json");
  ASSERT_TRUE(stored);
  const std::string expected = root_ + "erwartet.json";
  WriteEntriesExport(Entries(*stored), expected, false);
  const std::string bytes = ReadBytes(exported);
  EXPECT_EQ(bytes.rfind("{\r\n  \"Items\":[\r\n", 0), 0u) << "indented, CR LF lines";
  EXPECT_BYTES_EQ(bytes, ReadBytes(expected));
  EXPECT_FALSE(FileExists(root_ + "Angebot fett.json"));

  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.WaitForExit(), 0);
}
