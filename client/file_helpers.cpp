// Existence tests, folder creation and the retrying file operations.
#include "client/file_helpers.h"

#include <atomic>

#include "client/client_dirs.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "strings/strutils.h"

namespace wb {
namespace {

std::atomic<int> gRetryPauseMs{kRetryPauseMs};

void Pause(int milliseconds) { platform::GetClock().Sleep(milliseconds); }

// Runs attempt() up to kRetryAttempts times; ordinary errors (wb::Exception) are
// retried after a pause, the last one is passed on; anything else passes at once.
template <typename Attempt>
void WithRetries(Attempt attempt) {
  for (int number = 1;; ++number) {
    try {
      attempt();
      return;
    } catch (const Exception&) {
      if (number >= kRetryAttempts) throw;
      Pause(RetryPauseMs());
    }
  }
}

void WriteAll(TStream& stream, const std::string& bytes) {
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

std::string CreateErrorText(const std::string& fileName) {
  return FormatMessageText("Datei %s kann nicht erstellt werden", fileName);
}

}  // namespace

int RetryPauseMs() { return gRetryPauseMs.load(); }
int DeleteRetryPauseMs() { return RetryPauseMs() * kDeleteRetryPauseMs / kRetryPauseMs; }
void SetRetryPauseMsForTesting(int milliseconds) {
  gRetryPauseMs.store(milliseconds < 0 ? kRetryPauseMs : milliseconds);
}

bool FileExistsEx(const std::string& name) {
  using namespace platform;
  uint32_t attributes = GetFileAttributes(name);
  if (attributes != kInvalidFileAttributes) return !(attributes & kFileAttributeDirectory);
  switch (LastError()) {
    case kErrorFileNotFound:
    case kErrorPathNotFound:
    case kErrorInvalidName: return false;
    case kErrorSharingViolation: return true;  // there, but locked by someone
    default: {
      FindData data;
      return FindEntry(name, data) && !(data.Attributes & kFileAttributeDirectory);
    }
  }
}

bool DirExistsEx(const std::string& path) {
  using namespace platform;
  uint32_t attributes = GetFileAttributes(path);
  if (attributes == kInvalidFileAttributes) {
    switch (LastError()) {
      case kErrorFileNotFound:
      case kErrorPathNotFound:
      case kErrorBadNetPath:
      case kErrorInvalidName: return false;
      default: return true;  // e.g. access denied: the folder is there
    }
  }
  if (!(attributes & kFileAttributeReparsePoint)) return attributes & kFileAttributeDirectory;
  // A folder link counts only when its target can be opened.
  auto handle = CreateFile(path, kGenericRead, kFileShareRead, kOpenExisting, kFileFlagBackupSemantics);
  if (!handle) return false;
  return attributes & kFileAttributeDirectory;
}

bool ForceDirs(const std::string& path, platform::PathStyle style) {
  if (path.empty()) throw EInOutError("Verzeichnis kann nicht erstellt werden", 3);
  std::string dir = RemoveTrailingBackslash(path, style);
  if (style == platform::kPathStylePosix) {
    if (dir.empty() || DirExistsEx(dir)) return true;  // "/" itself
  } else if (dir.size() < 3 || DirExistsEx(dir)) {
    return true;
  }
  std::string parent = ExtractFilePath(dir, style);
  if (parent.empty() || parent == dir) return true;
  if (!ForceDirs(parent, style)) return false;
  return platform::CreateDirectory(dir) || DirExistsEx(dir);
}

void ForceFileDir(const std::string& fileName) {
  using namespace platform;
  std::string dir = ExtractFilePath(fileName);
  if (dir.empty()) return;
  bool driveRoot = kNativePathStyle == kPathStyleWindows && dir.size() == 3 && dir[1] == ':';
  if (!driveRoot && dir.size() > 1) dir = RemoveTrailingBackslash(dir);
  uint32_t attributes = GetFileAttributes(dir);
  if (attributes != kInvalidFileAttributes && (attributes & kFileAttributeDirectory)) return;
  ForceDirs(dir);
}

void SaveTextAtomically(const std::string& bytes, const std::string& fileName) {
  using namespace platform;
  ForceFileDir(fileName);
  uint32_t saved = GetFileAttributes(fileName);
  if (saved != kInvalidFileAttributes && (saved & kFileAttributeDirectory))
    throw EFCreateError(CreateErrorText(fileName));
  if (!ReplaceFileContents(fileName, bytes)) throw EFCreateError(CreateErrorText(fileName));
}

void SaveListRetry(const TStringList& lines, const std::string& fileName) {
  const std::string text = lines.Text();
  WithRetries([&] { SaveTextAtomically(text, fileName); });
}

void LoadListRetry(TStringList& lines, const std::string& fileName) {
  WithRetries([&] {
    if (!FileExistsEx(fileName)) return;
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    // Callers write such lists back: a part of the file must not pass for all of it.
    lines.SetText(stream.ReadRestWhole(FormatMessageText("Datei %s kann nicht gelesen werden", fileName)));
  });
}

void SaveResourceRetry(const std::string& blob, const std::string& fileName, std::string& actualName) {
  std::string current = fileName;
  int counter = 0;
  WithRetries([&] {
    try {
      ForceFileDir(current);
      TBetterFileStream stream(current, 1, true);
      WriteAll(stream, blob);
      actualName = current;
    } catch (const Exception&) {
      // The next attempt takes "[n]name" in the same folder.
      ++counter;
      current = AddTrailingBackslash(RemoveTrailingBackslash(ExtractFilePath(fileName))) + "[" +
                std::to_string(counter) + "]" + ExtractFileName(fileName);
      throw;
    }
  });
}

void OpenFileStreamRetry(const std::string& fileName, std::unique_ptr<TFileStream>& stream, uint16_t mode) {
  WithRetries([&] {
    if (mode == fmCreate) ForceFileDir(fileName);
    stream = std::make_unique<TFileStream>(fileName, mode);
  });
}

bool DeleteFileRetry(const std::string& fileName) {
  for (int number = 1; number <= kRetryAttempts; ++number) {
    try {
      if (!FileExistsEx(fileName) || platform::DeleteFile(fileName)) return true;
      // Held open for a moment (a virus scanner, a viewer closing it): give the
      // holder time to let go instead of using up the attempts at once.
      if (number < kRetryAttempts) Pause(DeleteRetryPauseMs());
    } catch (const Exception&) {
      if (number >= kRetryAttempts) throw;
      Pause(RetryPauseMs());
    }
  }
  return false;
}

bool DeleteFileIfExists(const std::string& fileName) {
  if (!FileExistsEx(fileName)) return true;
  return platform::DeleteFile(fileName);
}

bool OpenReadShared(const std::string& fileName, std::unique_ptr<TFileStream>& stream) {
  stream = std::make_unique<TFileStream>(fileName, fmOpenRead | fmShareDenyNone);
  return true;
}

bool CopyFileRetry(const std::string& source, const std::string& dest) {
  bool result = false;
  std::string destDir = ExtractFilePath(dest);
  if (!destDir.empty()) ForceDirs(destDir);
  std::unique_ptr<TFileStream> input;
  OpenReadShared(source, input);
  int pause = 100;
  for (int attempt = 1; attempt <= kCopyAttempts; ++attempt) {
    try {
      TFileStream output(dest, fmCreate);
      input->SetPosition(0);
      int64_t size = input->Size();
      if (size > 0) output.CopyFrom(*input, size);
      result = true;
      break;
    } catch (const Exception&) {
      // Pauses grow 100, 200, ... 1000 ms; the last one also after the tenth failure.
      Pause(RetryPauseMs() == kRetryPauseMs ? pause : RetryPauseMs());
      pause += 100;
    }
  }
  return result;
}

}  // namespace wb
