// Shell folders and the temporary path on Windows: SHGetSpecialFolderLocation
// with SHGetPathFromIDListA, SHGetSpecialFolderPathA, SHGetFolderPathA and
// GetTempPathA, exactly as the folder helpers ask for them.
#include "platform/folders.h"

#include "platform/win32/win32_util.h"

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace wb::platform {
namespace {

// A HRESULT as the thread's last error, so that the caller's message says why.
void SetLastErrorFromResult(HRESULT result) {
  ::SetLastError(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : ERROR_FILE_NOT_FOUND);
}

bool TakeBuffer(const char* buffer, std::string& path) {
  path = buffer;
  if (path.empty()) {
    if (::GetLastError() == ERROR_SUCCESS) ::SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  return true;
}

}  // namespace

std::string GetTempPath() {
  char buffer[MAX_PATH + 1] = {};
  DWORD length = ::GetTempPathA(sizeof buffer, buffer);
  std::string path;
  if (length > sizeof buffer) {
    // Longer than MAX_PATH: the system tells the size it needs.
    path.resize(length);
    length = ::GetTempPathA(length, path.data());
    path.resize(length);
  } else {
    path.assign(buffer, length);
  }
  if (!path.empty() && path.back() != '\\') path += '\\';
  return path;
}

bool GetSpecialFolderLocationPath(int csidl, std::string& path) {
  path.clear();
  LPITEMIDLIST items = nullptr;
  HRESULT result = ::SHGetSpecialFolderLocation(nullptr, csidl, &items);
  if (FAILED(result)) {
    SetLastErrorFromResult(result);
    return false;
  }
  char buffer[MAX_PATH] = {};
  bool converted = ::SHGetPathFromIDListA(items, buffer) != FALSE;
  ::CoTaskMemFree(items);
  if (!converted) {
    ::SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  return TakeBuffer(buffer, path);
}

bool GetSpecialFolderPath(int csidl, std::string& path) {
  path.clear();
  char buffer[MAX_PATH + 1] = {};
  ::SetLastError(ERROR_SUCCESS);
  if (!::SHGetSpecialFolderPathA(nullptr, buffer, csidl, FALSE)) {
    if (::GetLastError() == ERROR_SUCCESS) ::SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  return TakeBuffer(buffer, path);
}

bool GetFolderPath(int csidl, std::string& path) {
  path.clear();
  char buffer[MAX_PATH + 1] = {};
  HRESULT result = ::SHGetFolderPathA(nullptr, csidl, nullptr, 0, buffer);
  // The buffer decides, as for the callers: a folder the system names counts.
  if (FAILED(result)) SetLastErrorFromResult(result);
  else ::SetLastError(ERROR_SUCCESS);
  return TakeBuffer(buffer, path);
}

void ExitProcess(int exitCode) { ::ExitProcess(static_cast<UINT>(exitCode)); }

std::string GetModuleDir() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD length = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return ".\\";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of("\\/") + 1);
}

// The temporary path lies in the user's own profile, which only the user (and
// the administrators) may write to: creating the folder is enough. A link in
// its place could lead anywhere and is not used.
// The temporary path is the user's own, inside the profile.
std::string SuiteTempFolderName(const std::string&) { return kSuiteTempFolderName; }

bool EnsurePrivateFolder(const std::string& path, std::string& reason) {
  std::string folder = path;
  while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  if (!::CreateDirectoryA(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
    reason = FormatMessageText("Der Ordner %s kann nicht erstellt werden.", path);
    return false;
  }
  DWORD attributes = ::GetFileAttributesA(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    reason = FormatMessageText("%s ist kein Ordner und wird nicht benutzt.", path);
    return false;
  }
  return true;
}

}  // namespace wb::platform
