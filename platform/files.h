// File-system services with the Windows semantics the core is written against:
// attributes, error codes, handles with share modes and dispositions, folders.
// Paths are 8-bit text in the system code page with the native delimiter.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace wb::platform {

// Windows error codes; the POSIX backend maps errno onto them so that callers
// decide the same way on both platforms.
enum : uint32_t {
  kErrorSuccess = 0,
  kErrorInvalidFunction = 1,
  kErrorFileNotFound = 2,
  kErrorPathNotFound = 3,
  kErrorTooManyOpenFiles = 4,
  kErrorAccessDenied = 5,
  kErrorInvalidHandle = 6,
  kErrorNotEnoughMemory = 8,
  kErrorWriteProtect = 19,
  kErrorSharingViolation = 32,
  kErrorLockViolation = 33,
  kErrorHandleDiskFull = 39,
  kErrorNotSupported = 50,
  kErrorBadNetPath = 53,
  kErrorFileExists = 80,
  kErrorInvalidParameter = 87,
  kErrorBrokenPipe = 109,
  kErrorDiskFull = 112,
  kErrorInvalidName = 123,
  kErrorDirNotEmpty = 145,
  kErrorBusy = 170,
  kErrorAlreadyExists = 183,
  kErrorFilenameExcedRange = 206,
  kErrorPipeBusy = 231,
  kErrorNoData = 232,
  kErrorPipeNotConnected = 233,
  kErrorMoreData = 234,
  kErrorWaitTimeout = 258,
  kErrorNoMoreFiles = 18,
  kErrorCantResolveFilename = 1921,
};

// The calling thread's last platform error (GetLastError / SetLastError).
uint32_t LastError();
void SetLastError(uint32_t code);
// The system's text for an error code, 8-bit, without trailing line break.
std::string SystemErrorMessage(uint32_t code);

// File attributes as Windows reports them. On POSIX: read-only = the owner has
// no write permission; hidden = the name begins with "."; directory and reparse
// point (symbolic link) from lstat/stat.
enum : uint32_t {
  kFileAttributeReadOnly = 0x1,
  kFileAttributeHidden = 0x2,
  kFileAttributeSystem = 0x4,
  kFileAttributeDirectory = 0x10,
  kFileAttributeArchive = 0x20,
  kFileAttributeNormal = 0x80,
  kFileAttributeReparsePoint = 0x400,
  kInvalidFileAttributes = 0xFFFFFFFFu,
};

uint32_t GetFileAttributes(const std::string& path);  // kInvalidFileAttributes + LastError on failure
bool SetFileAttributes(const std::string& path, uint32_t attributes);

bool CreateDirectory(const std::string& path);
bool RemoveDirectory(const std::string& path);
bool DeleteFile(const std::string& path);
// Renames over an existing target (MoveFileEx with MOVEFILE_REPLACE_EXISTING).
bool MoveFileReplace(const std::string& from, const std::string& to);

// One directory entry as FindFirstFileA reports it. Times are FILETIME values
// (100 ns units since 1601-01-01 UTC).
struct FindData {
  std::string Name;
  uint32_t Attributes = 0;
  uint64_t Size = 0;
  uint64_t CreationTime = 0;
  uint64_t LastAccessTime = 0;
  uint64_t LastWriteTime = 0;
};
// Looks up one entry by its exact path (no wildcards); false + LastError when absent.
bool FindEntry(const std::string& path, FindData& data);

// Access, share and disposition values of CreateFileA.
enum : uint32_t {
  kGenericRead = 0x80000000u,
  kGenericWrite = 0x40000000u,
  kFileShareRead = 0x1,
  kFileShareWrite = 0x2,
  kFileShareDelete = 0x4,
  kCreateNew = 1,
  kCreateAlways = 2,
  kOpenExisting = 3,
  kOpenAlways = 4,
  kTruncateExisting = 5,
  kFileFlagBackupSemantics = 0x02000000u,
};

enum class SeekOrigin { Begin = 0, Current = 1, End = 2 };

// An open operating-system file; closes itself. Calls set LastError on failure.
class FileHandle {
 public:
  virtual ~FileHandle() = default;
  // Bytes read (0 at the end), or -1 on failure.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Bytes written, or -1 on failure.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // The new position, or -1 on failure.
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;
  virtual int64_t Size() = 0;
  // Cuts or extends the file at the current position (SetEndOfFile).
  virtual bool SetEndOfFile() = 0;
  virtual bool FlushToDisk() = 0;
};

// CreateFileA: nullptr + LastError on failure. The POSIX backend honours access
// and disposition; share modes have no equivalent there and are not enforced.
std::unique_ptr<FileHandle> CreateFile(const std::string& path, uint32_t access, uint32_t share,
                                       uint32_t disposition, uint32_t flagsAndAttributes);

}  // namespace wb::platform
