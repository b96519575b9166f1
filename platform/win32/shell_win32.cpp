// The desktop's shell services on Windows: ShellExecuteA, FindExecutableA,
// ILCreateFromPathA with SHOpenFolderAndSelectItems, and CreateProcessA for a
// program with a file.
#include "platform/shell.h"

#include "platform/win32/win32_util.h"

#include <algorithm>

#include "platform/files.h"

namespace wb::platform {
namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The program part of the command line. A program path with blanks goes in
// quotes: unquoted, the system would first try "C:\Program.exe" and the like
// for "C:\Program Files\App\app.exe". A text that is already quoted, or that
// names no existing file (a program with options of its own), stays as it is.
std::string ProgramPart(const std::string& program) {
  if (program.empty() || program.front() == '"' || program.find(' ') == std::string::npos) return program;
  DWORD attributes = ::GetFileAttributesA(program.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return program;
  return Quoted(program);
}

}  // namespace

bool ShellExecuteFile(const std::string& verb, const std::string& file) {
  if (file.empty() || file.find('\0') != std::string::npos) {
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  // The shell's handlers expect a thread with COM.
  ComScope com;
  const std::string target = Quoted(file);
  HINSTANCE result = ::ShellExecuteA(::GetForegroundWindow(), verb.empty() ? nullptr : verb.c_str(), target.c_str(),
                                     nullptr, nullptr, SW_SHOWDEFAULT);
  return reinterpret_cast<intptr_t>(result) > 32;
}

intptr_t FindExecutable(const std::string& file, std::array<char, kMaxPath>& result) {
  result.fill('\0');
  if (file.empty() || file.find('\0') != std::string::npos) return kSeErrFileNotFound;
  return reinterpret_cast<intptr_t>(::FindExecutableA(file.c_str(), nullptr, result.data()));
}

bool ShowItemInFolder(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) {
    ::SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  PIDLIST_ABSOLUTE item = ::ILCreateFromPathA(path.c_str());
  if (!item) {
    if (::GetLastError() == ERROR_SUCCESS) ::SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  HRESULT result;
  {
    ComScope com;
    result = ::SHOpenFolderAndSelectItems(item, 0, nullptr, 0);
  }
  ::ILFree(item);
  return result == S_OK;
}

bool StartProgramWithFile(const std::string& program, const std::string& file) {
  std::string commandLine = ProgramPart(program) + " " + Quoted(file);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
    return false;
  ::CloseHandle(started.hThread);
  ::CloseHandle(started.hProcess);
  return true;
}

}  // namespace wb::platform
