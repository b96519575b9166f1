// File-system services on Windows: the calls themselves (GetFileAttributesA,
// SetFileAttributesA, CreateDirectoryA, DeleteFileA, MoveFileExA, CreateFileA)
// with the error codes the system reports.
#include "platform/files.h"

#include <algorithm>

#include "platform/codepage.h"
#include "platform/win32/win32_util.h"

namespace wb::platform {
namespace {

bool HasNul(const std::string& path) { return path.find('\0') != std::string::npos; }

// The checks the system cannot make on a text with an embedded NUL: it would
// silently use the part before it.
bool UsablePath(const std::string& path) {
  if (path.empty() || HasNul(path)) {
    ::SetLastError(path.empty() ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_NAME);
    return false;
  }
  return true;
}

class Win32FileHandle final : public FileHandle {
 public:
  explicit Win32FileHandle(HANDLE handle) : handle_(handle) {}

  int64_t Read(void* buffer, int64_t count) override {
    int64_t total = 0;
    auto* out = static_cast<char*>(buffer);
    while (total < count) {
      DWORD got = 0;
      if (!::ReadFile(handle_.get(), out + total, ClampToDword(count - total), &got, nullptr)) {
        if (::GetLastError() == ERROR_HANDLE_EOF) break;
        return total > 0 ? total : -1;
      }
      if (got == 0) break;
      total += got;
    }
    return total;
  }

  int64_t Write(const void* buffer, int64_t count) override {
    int64_t total = 0;
    const auto* in = static_cast<const char*>(buffer);
    while (total < count) {
      DWORD put = 0;
      if (!::WriteFile(handle_.get(), in + total, ClampToDword(count - total), &put, nullptr))
        return total > 0 ? total : -1;
      if (put == 0) break;
      total += put;
    }
    return total;
  }

  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    static constexpr DWORD kMethod[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    LARGE_INTEGER distance, result;
    distance.QuadPart = offset;
    if (!::SetFilePointerEx(handle_.get(), distance, &result, kMethod[static_cast<int>(origin)])) return -1;
    return result.QuadPart;
  }

  int64_t Size() override {
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(handle_.get(), &size)) return -1;
    return size.QuadPart;
  }

  bool SetEndOfFile() override { return ::SetEndOfFile(handle_.get()) != FALSE; }

  bool FlushToDisk() override { return ::FlushFileBuffers(handle_.get()) != FALSE; }

 private:
  UniqueHandle handle_;
};

}  // namespace

uint32_t LastError() { return ::GetLastError(); }
void SetLastError(uint32_t code) { ::SetLastError(code); }

std::string SystemErrorMessage(uint32_t code) {
  // The common codes in German words whatever the system's language.
  if (std::string known = KnownSystemErrorText(code); !known.empty()) return known;
  char* text = nullptr;
  DWORD length =
      ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message;
  if (length > 0 && text) message.assign(text, length);
  if (text) ::LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
    message.pop_back();
  if (message.empty()) message = "Systemfehler " + std::to_string(code);
  return message;
}

uint32_t GetFileAttributes(const std::string& path) {
  if (!UsablePath(path)) return kInvalidFileAttributes;
  return ::GetFileAttributesA(path.c_str());
}

bool SetFileAttributes(const std::string& path, uint32_t attributes) {
  if (!UsablePath(path)) return false;
  // Zero means "no change" to the system; a file without any flag is "normal".
  return ::SetFileAttributesA(path.c_str(), attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes) != FALSE;
}

bool CreateDirectory(const std::string& path) {
  return UsablePath(path) && ::CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool RemoveDirectory(const std::string& path) { return UsablePath(path) && ::RemoveDirectoryA(path.c_str()) != FALSE; }

bool DeleteFile(const std::string& path) { return UsablePath(path) && ::DeleteFileA(path.c_str()) != FALSE; }

bool MoveFileReplace(const std::string& from, const std::string& to) {
  if (!UsablePath(from) || !UsablePath(to)) return false;
  // Write-through: the rename is on disk when the call returns, so a crash
  // right after a save cannot bring the old file back.
  return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

std::unique_ptr<FileHandle> CreateFile(const std::string& path, uint32_t access, uint32_t share, uint32_t disposition,
                                       uint32_t flagsAndAttributes) {
  if (!UsablePath(path)) return nullptr;
  HANDLE handle = ::CreateFileA(path.c_str(), access, share, nullptr, disposition, flagsAndAttributes, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  // Keep the code CreateFileA left (ERROR_ALREADY_EXISTS after OPEN_ALWAYS and
  // CREATE_ALWAYS on an existing file): callers read it as Windows sets it.
  DWORD code = ::GetLastError();
  auto result = std::make_unique<Win32FileHandle>(handle);
  ::SetLastError(code);
  return result;
}

// Files on Windows take the rights of their folder; what the callers carry
// over by hand are the attributes. Nothing to copy, but only from a file that is there.
bool CopyAccessRights(const std::string& from, const std::string& to) {
  return GetFileAttributes(from) != kInvalidFileAttributes && GetFileAttributes(to) != kInvalidFileAttributes;
}

bool MakeExecutable(const std::string& path) { return GetFileAttributes(path) != kInvalidFileAttributes; }

}  // namespace wb::platform
