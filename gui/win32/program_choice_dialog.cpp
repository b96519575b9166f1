// Win32ProgramChoice: an open-file dialog owned by the active window.
#include "gui/win32/program_choice_dialog.h"

#include <algorithm>
#include <vector>

#include "gui/win32/win32_text.h"

#include <commdlg.h>

namespace wb::win32 {

std::wstring Win32ProgramChoice::ToDialogFilter(const std::string& filter) {
  std::wstring result = Wide(filter);
  for (wchar_t& c : result)
    if (c == L'|') c = L'\0';
  result.push_back(L'\0');
  result.push_back(L'\0');
  return result;
}

bool Win32ProgramChoice::ChooseProgram(const ProgramChoiceRequest& request, std::string& program) {
  const std::wstring filter = ToDialogFilter(request.Filter);
  const std::wstring initialDir = Wide(request.InitialDir);
  const std::wstring title = WideUtf8(u8"Programm auswählen");
  std::vector<wchar_t> file(32768, L'\0');
  const std::wstring preset = Wide(request.FileName);
  preset.copy(file.data(), std::min(preset.size(), file.size() - 1));

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = ::GetActiveWindow();
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrInitialDir = request.FileName.empty() && !initialDir.empty() ? initialDir.c_str() : nullptr;
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
  if (!::GetOpenFileNameW(&dialog)) return false;
  program = Narrow(file.data());
  return true;
}

}  // namespace wb::win32
