// File-system services with the Windows semantics the core is written against:
// attributes, error codes, handles with share modes and dispositions, folders.
// Paths are 8-bit text in the system code page with the native delimiter.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace wb::platform {

// Windows error codes; the POSIX backend maps errno onto them so that callers
// decide the same way on both platforms.
inline constexpr uint32_t kErrorSuccess = 0;
inline constexpr uint32_t kErrorInvalidFunction = 1;
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorTooManyOpenFiles = 4;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorInvalidHandle = 6;
inline constexpr uint32_t kErrorNotEnoughMemory = 8;
inline constexpr uint32_t kErrorWriteProtect = 19;
inline constexpr uint32_t kErrorSharingViolation = 32;
inline constexpr uint32_t kErrorLockViolation = 33;
inline constexpr uint32_t kErrorHandleDiskFull = 39;
inline constexpr uint32_t kErrorNotSupported = 50;
inline constexpr uint32_t kErrorBadNetPath = 53;
inline constexpr uint32_t kErrorFileExists = 80;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorBrokenPipe = 109;
inline constexpr uint32_t kErrorDiskFull = 112;
inline constexpr uint32_t kErrorInvalidName = 123;
inline constexpr uint32_t kErrorDirNotEmpty = 145;
inline constexpr uint32_t kErrorBusy = 170;
inline constexpr uint32_t kErrorAlreadyExists = 183;
inline constexpr uint32_t kErrorFilenameExcedRange = 206;
inline constexpr uint32_t kErrorPipeBusy = 231;
inline constexpr uint32_t kErrorNoData = 232;
inline constexpr uint32_t kErrorPipeNotConnected = 233;
inline constexpr uint32_t kErrorMoreData = 234;
inline constexpr uint32_t kErrorWaitTimeout = 258;
inline constexpr uint32_t kErrorNoMoreFiles = 18;
inline constexpr uint32_t kErrorCantResolveFilename = 1921;

// The calling thread's last platform error (GetLastError / SetLastError).
uint32_t LastError();
void SetLastError(uint32_t code);
// The system's text for an error code, 8-bit, without trailing line break;
// the common codes in German words on every platform.
std::string SystemErrorMessage(uint32_t code);
// The German text of a common error code, "" for the others.
std::string KnownSystemErrorText(uint32_t code);

// File attributes as Windows reports them. On POSIX: read-only = the owner has
// no write permission; hidden = the name begins with "."; directory and reparse
// point (symbolic link) from lstat/stat.
inline constexpr uint32_t kFileAttributeReadOnly = 0x1;
inline constexpr uint32_t kFileAttributeHidden = 0x2;
inline constexpr uint32_t kFileAttributeSystem = 0x4;
inline constexpr uint32_t kFileAttributeDirectory = 0x10;
inline constexpr uint32_t kFileAttributeArchive = 0x20;
inline constexpr uint32_t kFileAttributeNormal = 0x80;
inline constexpr uint32_t kFileAttributeReparsePoint = 0x400;
inline constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;

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
inline constexpr uint32_t kGenericRead = 0x80000000u;
inline constexpr uint32_t kGenericWrite = 0x40000000u;
inline constexpr uint32_t kFileShareRead = 0x1;
inline constexpr uint32_t kFileShareWrite = 0x2;
inline constexpr uint32_t kFileShareDelete = 0x4;
inline constexpr uint32_t kCreateNew = 1;
inline constexpr uint32_t kCreateAlways = 2;
inline constexpr uint32_t kOpenExisting = 3;
inline constexpr uint32_t kOpenAlways = 4;
inline constexpr uint32_t kTruncateExisting = 5;
inline constexpr uint32_t kFileFlagBackupSemantics = 0x02000000u;

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
std::unique_ptr<FileHandle> CreateFile(const std::string& path, uint32_t access, uint32_t share, uint32_t disposition,
                                       uint32_t flagsAndAttributes);

}  // namespace wb::platform

namespace wb::platform {
// Gives `to` the access rights of `from` (POSIX permission bits; on Windows the
// attributes are carried over by the caller). False when `from` has none to give.
bool CopyAccessRights(const std::string& from, const std::string& to);
// Makes a file executable for everyone who may read it (POSIX mode 0755); a
// no-op on Windows, where the name decides.
bool MakeExecutable(const std::string& path);

// What a replaced file may do beyond holding bytes.
enum class FileRights { Ordinary, Executable };

// The one crash-safe writer: the bytes go to a new temporary file beside the
// target (a name of its own, created exclusively), are flushed to disk, and the
// temporary is renamed over the target. An existing target's permission bits
// and read-only/hidden flags pass to the new file. On any failure the old file
// is left whole, no temporary stays behind, and false is returned with
// LastError telling why. The target's folder must exist.
bool ReplaceFileContents(const std::string& path, std::string_view bytes, FileRights rights = FileRights::Ordinary);
}  // namespace wb::platform
