// Helpers shared by the Win32 backend's units (not part of the platform
// interface). Includes <windows.h> and takes back the A/W macros whose names
// the platform interface uses for its own functions (CreateFile, DeleteFile,
// ...), so that every unit sees wb::platform::CreateFile and the system's
// CreateFileA side by side.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// The shell's and COM's headers define more of those macros: all come first.
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#undef CreateFile
#undef DeleteFile
#undef CreateDirectory
#undef RemoveDirectory
#undef GetFileAttributes
#undef SetFileAttributes
#undef FindFirstFile
#undef FindNextFile
#undef GetTempPath
#undef WaitNamedPipe
#undef FindExecutable
#undef GetModuleFileName
#undef CreateProcess
#undef ShellExecute

#include <cstdint>
#include <string>

namespace wb::platform {

// Closes a kernel handle when it goes (INVALID_HANDLE_VALUE and null are "none").
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Release() {
    HANDLE handle = handle_;
    handle_ = nullptr;
    return handle;
  }
  void Reset(HANDLE handle = nullptr) {
    if (valid()) ::CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_ = nullptr;
};

// Initialises COM (single-threaded apartment) for the calling thread for the
// lifetime of the object; a thread that already has COM keeps its own.
class ComScope {
 public:
  ComScope();
  ~ComScope();
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool initialised_ = false;
};

// FILETIME as one 64-bit count of 100 ns units.
inline uint64_t FileTimeValue(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The part after the last '\' or '/' (trailing delimiters ignored).
std::string LastPathPart(const std::string& path);

// A buffer size the system reports can exceed what a DWORD holds only in theory.
inline DWORD ClampToDword(int64_t count) {
  return count > 0x7FFFF000 ? DWORD{0x7FFFF000} : static_cast<DWORD>(count < 0 ? 0 : count);
}

}  // namespace wb::platform
