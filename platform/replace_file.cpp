// The one crash-safe writer of whole files, over the platform's own file
// services, so both backends and every caller above share it.
#include <cstdio>
#include <string_view>

#include "platform/files.h"
#include "platform/guid.h"

namespace wb::platform {
namespace {

// A clash with another writer's temporary is as good as impossible with a
// random part; the few attempts cover a left-over of a killed writer.
constexpr int kTemporaryNameAttempts = 8;
// The target's name goes into the temporary's only in part, so the temporary's
// name stays short even where the target's just fits the file system.
constexpr size_t kNameInTemporary = 48;

size_t NameStart(const std::string& path) {
#ifdef _WIN32
  const size_t delimiter = path.find_last_of("\\/:");
#else
  const size_t delimiter = path.find_last_of('/');
#endif
  return delimiter == std::string::npos ? 0 : delimiter + 1;
}

// ".NAME.RANDOM.tmp" beside the target: on the same file system, so the rename
// never turns into a copy; hidden on POSIX; recognisably the target's. Only
// ASCII letters, digits, "-", "_" and "." of the name are kept, so no multi-byte
// character is ever cut.
std::string TemporaryNameBeside(const std::string& path) {
  Guid guid;
  if (!CreateGuid(guid)) return {};
  char random[24];
  std::snprintf(random, sizeof random, "%08x%04x%04x", static_cast<unsigned>(guid.Data1),
                static_cast<unsigned>(guid.Data2), static_cast<unsigned>(guid.Data3));
  const size_t start = NameStart(path);
  std::string name;
  for (size_t i = start; i < path.size() && name.size() < kNameInTemporary; ++i) {
    const char c = path[i];
    const bool kept =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
    if (kept) name += c;
  }
  return path.substr(0, start) + "." + name + "." + random + ".tmp";
}

bool WriteWhole(FileHandle& file, std::string_view bytes) {
  while (!bytes.empty()) {
    const int64_t wrote = file.Write(bytes.data(), static_cast<int64_t>(bytes.size()));
    if (wrote <= 0) {
      if (wrote == 0) SetLastError(kErrorHandleDiskFull);
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(wrote));
  }
  return true;
}

// The temporary file until it has become the target: removed on every other
// way out, keeping the error that stopped the save for the caller.
class TemporaryFile {
 public:
  TemporaryFile() = default;
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (name_.empty()) return;
    const uint32_t error = LastError();
    DeleteFile(name_);
    SetLastError(error);
  }

  // A new file under a name no one else uses; nullptr + LastError when none could be made.
  std::unique_ptr<FileHandle> Create(const std::string& target) {
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
      std::string name = TemporaryNameBeside(target);
      if (name.empty()) return nullptr;
      auto file = CreateFile(name, kGenericWrite, 0, kCreateNew, kFileAttributeNormal);
      if (file) {
        name_ = std::move(name);
        return file;
      }
      if (LastError() != kErrorFileExists && LastError() != kErrorAlreadyExists) return nullptr;
    }
    return nullptr;
  }
  const std::string& Name() const { return name_; }
  // The temporary has become the target: nothing to remove any more.
  void Release() { name_.clear(); }

 private:
  std::string name_;
};

// Windows refuses to replace a read-only file; these flags are lifted from the
// old file for the rename and set on the new one.
constexpr uint32_t kCarriedFlags = kFileAttributeReadOnly | kFileAttributeHidden;

}  // namespace

bool ReplaceFileContents(const std::string& path, std::string_view bytes, FileRights rights) {
  const uint32_t old = GetFileAttributes(path);
  const bool existed = old != kInvalidFileAttributes;
  TemporaryFile temporary;
  {
    std::unique_ptr<FileHandle> file = temporary.Create(path);
    if (!file || !WriteWhole(*file, bytes) || !file->FlushToDisk()) return false;
  }
  if (existed && !(old & kFileAttributeDirectory) && !CopyAccessRights(path, temporary.Name())) return false;
  if (rights == FileRights::Executable && !MakeExecutable(temporary.Name())) return false;
  const bool flagged = existed && (old & kCarriedFlags);
  if (flagged && !SetFileAttributes(path, old & ~kCarriedFlags)) return false;
  if (!MoveFileReplace(temporary.Name(), path)) {
    const uint32_t error = LastError();
    if (flagged) SetFileAttributes(path, old);
    SetLastError(error);
    return false;
  }
  temporary.Release();
  return !flagged || SetFileAttributes(path, old);
}

}  // namespace wb::platform
