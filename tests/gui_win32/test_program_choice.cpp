// The program choice's filter as the system's open-file dialog takes it:
// description and patterns as pairs of NUL-terminated texts, two NULs at the end.
#include <gtest/gtest.h>

#include "gui/win32/program_choice_dialog.h"
#include "opening/program_choice.h"

using namespace wb;

TEST(Win32ProgramChoice, FilterPairsForTheOpenFileDialog) {
  const std::wstring filter = win32::Win32ProgramChoice::ToDialogFilter(ProgramChoiceFilter());
  const std::wstring expected(L"Ausf\u00fchrbare Dateien\0*.exe;*.com;*.bat\0Alle Dateien\0*.*\0\0", 56);
  EXPECT_EQ(filter, expected);
  EXPECT_EQ(win32::Win32ProgramChoice::ToDialogFilter(""), std::wstring(L"\0\0", 2));
}
