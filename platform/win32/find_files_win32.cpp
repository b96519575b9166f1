// Directory listing on Windows: FindFirstFileA / FindNextFileA, which match the
// mask themselves (without regard to case) and bring every detail of an entry
// with the listing.
#include "platform/find_files.h"

#include "platform/wildcard.h"

#include <array>

#include "platform/codepage.h"
#include "platform/win32/win32_util.h"

namespace wb::platform {
namespace {

void FillFindData(const WIN32_FIND_DATAA& found, FindData& data) {
  data.Name = found.cFileName;
  data.Attributes = found.dwFileAttributes;
  data.Size = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                  ? 0
                  : (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  data.CreationTime = FileTimeValue(found.ftCreationTime);
  data.LastAccessTime = FileTimeValue(found.ftLastAccessTime);
  data.LastWriteTime = FileTimeValue(found.ftLastWriteTime);
}

class Win32FindHandle final : public FindHandle {
 public:
  Win32FindHandle(HANDLE handle, const WIN32_FIND_DATAA& first) : handle_(handle) { Take(first); }
  ~Win32FindHandle() override { ::FindClose(handle_); }
  Win32FindHandle(const Win32FindHandle&) = delete;
  Win32FindHandle& operator=(const Win32FindHandle&) = delete;

  const std::string& Name() const override { return data_.Name; }
  uint32_t Attributes(uint32_t) override { return data_.Attributes; }
  bool Details(FindData& data) override {
    data = data_;
    return true;
  }
  bool Next() override {
    WIN32_FIND_DATAA found;
    if (!::FindNextFileA(handle_, &found)) return false;  // ERROR_NO_MORE_FILES at the end
    Take(found);
    return true;
  }

 private:
  void Take(const WIN32_FIND_DATAA& found) { FillFindData(found, data_); }

  HANDLE handle_;
  FindData data_;
};

// DST as it was at that moment, not as it is today.
bool ToLocalSystemTime(uint64_t fileTime, SYSTEMTIME& local) {
  FILETIME utc;
  utc.dwLowDateTime = static_cast<DWORD>(fileTime);
  utc.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
  SYSTEMTIME system;
  return ::FileTimeToSystemTime(&utc, &system) && ::SystemTimeToTzSpecificLocalTime(nullptr, &system, &local);
}

}  // namespace

const std::array<uint8_t, 256>& LowerCaseTable() {
  static const std::array<uint8_t, 256> table = [] {
    std::array<uint8_t, 256> result{};
    char bytes[256];
    for (int c = 0; c < 256; ++c) bytes[c] = static_cast<char>(c);
    ::CharLowerBuffA(bytes + 1, 255);  // NUL stays NUL
    for (std::size_t c = 0; c < result.size(); ++c) result[c] = static_cast<uint8_t>(bytes[c]);
    return result;
  }();
  return table;
}

std::unique_ptr<FindHandle> FindFirstFile(const std::string& pattern) {
  if (pattern.empty() || pattern.find('\0') != std::string::npos) {
    ::SetLastError(pattern.empty() ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_NAME);
    return nullptr;
  }
  WIN32_FIND_DATAA found;
  HANDLE handle = ::FindFirstFileA(pattern.c_str(), &found);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32FindHandle>(handle, found);
}

std::unique_ptr<FindHandle> FindFirstFile(const std::string& pattern, FindData& data) {
  auto handle = FindFirstFile(pattern);
  if (handle) handle->Details(data);
  return handle;
}

bool FindNextFile(FindHandle& handle, FindData& data) {
  if (!handle.Next()) return false;
  handle.Details(data);
  return true;
}

// The listing's entry of one path: a search for exactly that name, which finds
// an entry also where reading its attributes is refused.
bool FindEntry(const std::string& path, FindData& data) {
  if (path.empty() || path.find_first_of(std::string_view("*?\0", 3)) != std::string::npos) {
    ::SetLastError(path.empty() ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_NAME);
    return false;
  }
  WIN32_FIND_DATAA found;
  HANDLE handle = ::FindFirstFileA(path.c_str(), &found);
  if (handle == INVALID_HANDLE_VALUE) return false;
  ::FindClose(handle);
  FillFindData(found, data);
  return true;
}

bool GetEntryDetails(const std::string& path, FindData& data) {
  if (FindEntry(path, data)) return true;
  if (::GetLastError() == ERROR_INVALID_NAME || path.empty()) return false;
  // A drive's root has no listing entry of its own.
  WIN32_FILE_ATTRIBUTE_DATA info;
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &info)) return false;
  data.Name = LastPathPart(path);
  data.Attributes = info.dwFileAttributes;
  data.Size = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                  ? 0
                  : (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  data.CreationTime = FileTimeValue(info.ftCreationTime);
  data.LastAccessTime = FileTimeValue(info.ftLastAccessTime);
  data.LastWriteTime = FileTimeValue(info.ftLastWriteTime);
  return true;
}

bool GetFolderIdentity(const std::string& path, FolderIdentity& identity) {
  UniqueHandle folder(::CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!folder.valid()) return false;
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(folder.get(), &info)) return false;
  identity.Volume = info.dwVolumeSerialNumber;
  identity.Index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

double FileTimeToLocalDateTime(uint64_t fileTime) {
  constexpr double kTicksPerDay = 864000000000.0;
  constexpr double kDaysFrom1601To1899 = 109205.0;  // 1601-01-01 .. 1899-12-30
  SYSTEMTIME local;
  FILETIME localTime;
  uint64_t ticks = fileTime;
  if (ToLocalSystemTime(fileTime, local) && ::SystemTimeToFileTime(&local, &localTime)) {
    // SYSTEMTIME keeps milliseconds only: the finer part comes from the input.
    ticks = FileTimeValue(localTime) + fileTime % 10000;
  }
  return static_cast<double>(ticks) / kTicksPerDay - kDaysFrom1601To1899;
}

std::string CurrentDirectoryPath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD length = ::GetCurrentDirectoryA(static_cast<DWORD>(path.size()), path.data());
    if (length == 0) return ".";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(length);
  }
  // "C:\" keeps its delimiter: without it the text would mean "current folder on C:".
  if (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace wb::platform
