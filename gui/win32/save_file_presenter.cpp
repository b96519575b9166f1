// SaveFilePresenter: GetSaveFileNameW, starting in the default path's folder
// with its file name in the name field.
#include "gui/win32/save_file_presenter.h"

#include <algorithm>

#include "gui/win32/win32_headers.h"
#include "gui/win32/win32_text.h"

#include <commdlg.h>

namespace wb::win32 {
namespace {

// Room for the longest path the system's wide functions take.
constexpr size_t kPathCapacity = 32768;
// The filter: pairs of shown text and pattern, each ended by a zero, the list by another.
constexpr wchar_t kJsonFilter[] = L"JSON-Dateien (*.json)\0*.json\0";

}  // namespace

std::string SaveFilePresenter::AskSaveFileName(const std::string& caption, const std::string& defaultPath) {
  const std::wstring title = Wide(caption);
  const std::wstring path = Wide(defaultPath);
  const size_t slash = path.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
  const std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);

  std::wstring chosen(kPathCapacity, L'\0');
  name.copy(chosen.data(), std::min(name.size(), kPathCapacity - 1));

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = ::GetActiveWindow();
  dialog.lpstrFilter = kJsonFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = chosen.data();
  dialog.nMaxFile = static_cast<DWORD>(chosen.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = title.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!::GetSaveFileNameW(&dialog)) return std::string();
  chosen.resize(chosen.find(L'\0'));
  return Narrow(chosen);
}

}  // namespace wb::win32
