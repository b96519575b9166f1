// File-system services on POSIX with the Windows semantics the core expects:
// errno mapped onto Windows error codes, attributes derived from stat and the
// name, CreateFile dispositions onto open(2) flags.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/posix/posix_util.h"

namespace wb::platform {
namespace {

thread_local uint32_t tLastError = 0;

bool HasNul(const std::string& path) { return path.find('\0') != std::string::npos; }

// Windows tells a missing file (2) from a missing folder on the way (3).
uint32_t MissingCode(const std::string& nativePath) {
  auto slash = nativePath.find_last_of('/');
  if (slash == std::string::npos) return kErrorFileNotFound;
  std::string parent = slash == 0 ? "/" : nativePath.substr(0, slash);
  struct stat st;
  if (::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return kErrorFileNotFound;
  return kErrorPathNotFound;
}

bool IsHiddenName(const std::string& nativePath) {
  std::string name = nativePath;
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  auto slash = name.find_last_of('/');
  if (slash != std::string::npos) name = name.substr(slash + 1);
  return name.size() > 1 && name[0] == '.' && name != "..";
}

class PosixFileHandle final : public FileHandle {
 public:
  explicit PosixFileHandle(int fd) : fd_(fd) {}
  ~PosixFileHandle() override { ::close(fd_); }

  int64_t Read(void* buffer, int64_t count) override {
    int64_t total = 0;
    auto* out = static_cast<char*>(buffer);
    while (total < count) {
      ssize_t got = ::read(fd_, out + total, static_cast<size_t>(count - total));
      if (got < 0) {
        if (errno == EINTR) continue;
        SetLastError(ErrnoToWindowsError(errno));
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
      ssize_t put = ::write(fd_, in + total, static_cast<size_t>(count - total));
      if (put < 0) {
        if (errno == EINTR) continue;
        SetLastError(ErrnoToWindowsError(errno));
        return total > 0 ? total : -1;
      }
      total += put;
    }
    return total;
  }

  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    off_t result = ::lseek(fd_, static_cast<off_t>(offset), kWhence[static_cast<int>(origin)]);
    if (result < 0) {
      SetLastError(ErrnoToWindowsError(errno));
      return -1;
    }
    return result;
  }

  int64_t Size() override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) {
      SetLastError(ErrnoToWindowsError(errno));
      return -1;
    }
    return st.st_size;
  }

  bool SetEndOfFile() override {
    off_t position = ::lseek(fd_, 0, SEEK_CUR);
    if (position < 0 || ::ftruncate(fd_, position) != 0) {
      SetLastError(ErrnoToWindowsError(errno));
      return false;
    }
    return true;
  }

  bool FlushToDisk() override {
    if (::fsync(fd_) != 0) {
      SetLastError(ErrnoToWindowsError(errno));
      return false;
    }
    return true;
  }

 private:
  int fd_;
};

}  // namespace

uint32_t ErrnoToWindowsError(int error) {
  switch (error) {
    case 0: return kErrorSuccess;
    case ENOENT: return kErrorFileNotFound;
    case ENOTDIR: return kErrorPathNotFound;
    case EACCES:
    case EPERM:
    case EISDIR: return kErrorAccessDenied;
    case EEXIST: return kErrorAlreadyExists;
    case ENAMETOOLONG: return kErrorFilenameExcedRange;
    case EINVAL: return kErrorInvalidParameter;
    case ENOSPC:
    case EDQUOT: return kErrorDiskFull;
    case EROFS: return kErrorWriteProtect;
    case EBUSY: return kErrorBusy;
    case ETXTBSY: return kErrorSharingViolation;
    case EMFILE:
    case ENFILE: return kErrorTooManyOpenFiles;
    case ENOTEMPTY: return kErrorDirNotEmpty;
    case ENOMEM: return kErrorNotEnoughMemory;
    case EBADF: return kErrorInvalidHandle;
    case EPIPE: return kErrorBrokenPipe;
    case ELOOP: return kErrorCantResolveFilename;
    default: return kErrorInvalidFunction;
  }
}

uint32_t LastError() { return tLastError; }
void SetLastError(uint32_t code) { tLastError = code; }

std::string NativePath(const std::string& path) { return AnsiToUtf8(path); }

void SetLastErrorForPath(int error, const std::string& nativePath) {
  SetLastError(error == ENOENT ? MissingCode(nativePath) : ErrnoToWindowsError(error));
}

uint32_t GetFileAttributes(const std::string& path) {
  if (path.empty() || HasNul(path)) {
    SetLastError(path.empty() ? kErrorPathNotFound : kErrorInvalidName);
    return kInvalidFileAttributes;
  }
  std::string native = NativePath(path);
  struct stat st;
  if (::lstat(native.c_str(), &st) != 0) {
    SetLastErrorForPath(errno, native);
    return kInvalidFileAttributes;
  }
  uint32_t attributes = 0;
  if (S_ISLNK(st.st_mode)) {
    attributes |= kFileAttributeReparsePoint;
    struct stat target;
    if (::stat(native.c_str(), &target) == 0) st = target;
  }
  if (S_ISDIR(st.st_mode)) attributes |= kFileAttributeDirectory;
  else attributes |= kFileAttributeArchive;
  if (!(st.st_mode & S_IWUSR)) attributes |= kFileAttributeReadOnly;
  if (IsHiddenName(native)) attributes |= kFileAttributeHidden;
  return attributes;
}

bool SetFileAttributes(const std::string& path, uint32_t attributes) {
  std::string native = NativePath(path);
  struct stat st;
  if (::stat(native.c_str(), &st) != 0) {
    SetLastErrorForPath(errno, native);
    return false;
  }
  // Only read-only has a POSIX form (the write bits); hidden lives in the name.
  mode_t mode = st.st_mode & 07777;
  if (attributes & kFileAttributeReadOnly) mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
  else mode |= S_IWUSR;
  if (mode != (st.st_mode & 07777) && ::chmod(native.c_str(), mode) != 0) {
    SetLastErrorForPath(errno, native);
    return false;
  }
  return true;
}

bool CreateDirectory(const std::string& path) {
  std::string native = NativePath(path);
  if (::mkdir(native.c_str(), 0777) != 0) {
    SetLastErrorForPath(errno, native);
    return false;
  }
  return true;
}

bool RemoveDirectory(const std::string& path) {
  std::string native = NativePath(path);
  if (::rmdir(native.c_str()) != 0) {
    SetLastErrorForPath(errno, native);
    return false;
  }
  return true;
}

bool DeleteFile(const std::string& path) {
  std::string native = NativePath(path);
  struct stat st;
  if (::lstat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    SetLastError(kErrorAccessDenied);  // DeleteFileA refuses folders
    return false;
  }
  if (::unlink(native.c_str()) != 0) {
    SetLastErrorForPath(errno, native);
    return false;
  }
  return true;
}

bool MoveFileReplace(const std::string& from, const std::string& to) {
  std::string nativeFrom = NativePath(from);
  if (::rename(nativeFrom.c_str(), NativePath(to).c_str()) != 0) {
    SetLastErrorForPath(errno, nativeFrom);
    return false;
  }
  return true;
}

bool FindEntry(const std::string& path, FindData& data) {
  uint32_t attributes = GetFileAttributes(path);
  if (attributes == kInvalidFileAttributes) return false;
  std::string native = NativePath(path);
  struct stat st;
  if (::stat(native.c_str(), &st) != 0 && ::lstat(native.c_str(), &st) != 0) {
    SetLastErrorForPath(errno, native);
    return false;
  }
  std::string name = path;
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  auto slash = name.find_last_of('/');
  data.Name = slash == std::string::npos ? name : name.substr(slash + 1);
  data.Attributes = attributes;
  data.Size = (attributes & kFileAttributeDirectory) ? 0 : static_cast<uint64_t>(st.st_size);
  data.LastWriteTime = UnixTimeToFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
  data.LastAccessTime = UnixTimeToFileTime(st.st_atim.tv_sec, st.st_atim.tv_nsec);
  data.CreationTime = UnixTimeToFileTime(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
  return true;
}

uint64_t UnixTimeToFileTime(int64_t seconds, int64_t nanoseconds) {
  constexpr int64_t kEpochDifference = 11644473600LL;  // 1601-01-01 .. 1970-01-01 in seconds
  return static_cast<uint64_t>((seconds + kEpochDifference) * 10000000LL + nanoseconds / 100);
}

std::unique_ptr<FileHandle> CreateFile(const std::string& path, uint32_t access, uint32_t share, uint32_t disposition,
                                       uint32_t flagsAndAttributes) {
  (void)share;
  if (path.empty() || HasNul(path)) {
    SetLastError(path.empty() ? kErrorPathNotFound : kErrorInvalidName);
    return nullptr;
  }
  int flags = O_CLOEXEC;
  bool read = access & kGenericRead, write = access & kGenericWrite;
  flags |= read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
  switch (disposition) {
    case kCreateNew: flags |= O_CREAT | O_EXCL; break;
    case kCreateAlways: flags |= O_CREAT | O_TRUNC; break;
    case kOpenExisting: break;
    case kOpenAlways: flags |= O_CREAT; break;
    case kTruncateExisting: flags |= O_TRUNC; break;
    default: SetLastError(kErrorInvalidParameter); return nullptr;
  }
  std::string native = NativePath(path);
  if (!(flagsAndAttributes & kFileFlagBackupSemantics)) {
    struct stat st;
    if (::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      SetLastError(kErrorAccessDenied);  // a folder is not a file
      return nullptr;
    }
  }
  int fd;
  do {
    fd = ::open(native.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    if (errno == EEXIST) SetLastError(kErrorFileExists);
    else SetLastErrorForPath(errno, native);
    return nullptr;
  }
  if (disposition == kOpenAlways || disposition == kCreateAlways) SetLastError(kErrorSuccess);
  return std::make_unique<PosixFileHandle>(fd);
}

std::string SystemErrorMessage(uint32_t code) {
  std::string text = KnownSystemErrorText(code);
  if (!text.empty()) return text;
  return "Systemfehler " + std::to_string(code);
}

}  // namespace wb::platform

namespace wb::platform {

bool CopyAccessRights(const std::string& from, const std::string& to) {
  const std::string nativeFrom = NativePath(from), nativeTo = NativePath(to);
  struct stat st;
  if (::stat(nativeFrom.c_str(), &st) != 0) {
    SetLastErrorForPath(errno, nativeFrom);
    return false;
  }
  if (::chmod(nativeTo.c_str(), st.st_mode & 07777) != 0) {
    SetLastErrorForPath(errno, nativeTo);
    return false;
  }
  return true;
}

bool MakeExecutable(const std::string& path) {
  const std::string native = NativePath(path);
  if (::chmod(native.c_str(), 0755) != 0) {
    SetLastErrorForPath(errno, native);
    return false;
  }
  return true;
}

}  // namespace wb::platform
