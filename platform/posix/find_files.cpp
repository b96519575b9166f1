// Directory listing on POSIX with FindFirstFileA semantics (see find_files.h).
// The listing itself reads only the directory: the mask is matched on the
// names readdir returns, the kind of entry comes from d_type, and a stat is
// made only for the entries a caller asks details of (or whose kind the file
// system does not report, or symbolic links, whose target decides "folder").
#include "platform/find_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cmath>
#include <ctime>
#include <vector>

#include "platform/codepage.h"
#include "platform/posix/posix_util.h"
#include "platform/wildcard.h"

namespace wb::platform {
namespace {

// Windows-1252 lower-case folding of one byte: ASCII, the Latin-1 letters and
// the four pairs Windows-1252 adds (Š, Œ, Ž, Ÿ).
constexpr std::array<uint8_t, 256> MakeLowerCaseTable() {
  std::array<uint8_t, 256> table{};
  for (std::size_t c = 0; c < 256; ++c) table[c] = static_cast<uint8_t>(c);
  for (std::size_t c = 'A'; c <= 'Z'; ++c) table[c] = static_cast<uint8_t>(c + 32);
  for (std::size_t c = 0xC0; c <= 0xDE; ++c)
    if (c != 0xD7) table[c] = static_cast<uint8_t>(c + 32);
  table[0x8A] = 0x9A;
  table[0x8C] = 0x9C;
  table[0x8E] = 0x9E;
  table[0x9F] = 0xFF;
  return table;
}
constexpr std::array<uint8_t, 256> kLowerCase = MakeLowerCaseTable();

bool IsAscii(const char* text) {
  for (; *text; ++text)
    if (static_cast<unsigned char>(*text) >= 0x80) return false;
  return true;
}

bool IsHidden(std::string_view name) { return name.size() > 1 && name[0] == '.' && name != ".."; }

// The attributes of a stat result, as GetFileAttributes reports them, plus the
// device bit for entries that are neither files nor folders.
uint32_t AttributesOf(const struct stat& st, bool link) {
  uint32_t attributes = link ? kFileAttributeReparsePoint : 0;
  if (S_ISDIR(st.st_mode)) {
    attributes |= kFileAttributeDirectory;
  } else {
    attributes |= kFileAttributeArchive;
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) attributes |= kFileAttributeDevice;
  }
  if (!(st.st_mode & S_IWUSR)) attributes |= kFileAttributeReadOnly;
  return attributes;
}

void FillDetails(const struct stat& st, uint32_t attributes, FindData& data) {
  data.Attributes = attributes;
  data.Size = (attributes & kFileAttributeDirectory) ? 0 : static_cast<uint64_t>(st.st_size);
  data.LastWriteTime = UnixTimeToFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
  data.LastAccessTime = UnixTimeToFileTime(st.st_atim.tv_sec, st.st_atim.tv_nsec);
  data.CreationTime = UnixTimeToFileTime(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
}

class PosixFindHandle final : public FindHandle {
 public:
  PosixFindHandle(DIR* dir, std::string mask) : dir_(dir), mask_(std::move(mask)) {
    matchAll_ = mask_ == "*" || mask_ == "*.*";
  }
  ~PosixFindHandle() override { ::closedir(dir_); }

  const std::string& Name() const override { return name_; }

  uint32_t Attributes(uint32_t needed) override {
    if (needed & ~kListingAttributes) {
      if (!Stat()) return quick_;
      return statAttributes_;
    }
    return quick_;
  }

  bool Details(FindData& data) override {
    data.Name = name_;
    if (!Stat()) {
      data.Attributes = quick_;
      data.Size = 0;
      data.CreationTime = data.LastAccessTime = data.LastWriteTime = 0;
      return false;
    }
    FillDetails(stat_, statAttributes_, data);
    return true;
  }

  bool Next() override {
    for (;;) {
      errno = 0;
      struct dirent* entry = ::readdir(dir_);
      if (!entry) {
        SetLastError(errno == 0 ? kErrorNoMoreFiles : ErrnoToWindowsError(errno));
        return false;
      }
      if (!Accept(entry)) continue;
      Classify(entry);
      return true;
    }
  }

 private:
  bool Accept(const struct dirent* entry) {
    if (matchAll_) {
      TakeName(entry->d_name);
      return true;
    }
    // Most names are ASCII, where the UTF-8 name is the 8-bit name: match
    // without copying and convert only names that have other characters.
    if (IsAscii(entry->d_name)) {
      if (!MatchesFileMask(entry->d_name, mask_)) return false;
      TakeName(entry->d_name);
      return true;
    }
    std::string converted = Utf8ToAnsi(entry->d_name);
    if (!MatchesFileMask(converted, mask_)) return false;
    native_ = entry->d_name;
    name_ = std::move(converted);
    return true;
  }

  void TakeName(const char* nativeName) {
    native_.assign(nativeName);
    if (IsAscii(nativeName)) name_ = native_;
    else name_ = Utf8ToAnsi(native_);
  }

  void Classify(const struct dirent* entry) {
    statDone_ = false;
    quick_ = IsHidden(name_) ? kFileAttributeHidden : 0;
    switch (entry->d_type) {
      case DT_DIR: quick_ |= kFileAttributeDirectory; return;
      case DT_REG: quick_ |= kFileAttributeArchive; return;
      case DT_FIFO:
      case DT_SOCK:
      case DT_CHR:
      case DT_BLK: quick_ |= kFileAttributeArchive | kFileAttributeDevice; return;
      default: break;  // links (the target decides) and kinds the file system does not tell
    }
    if (Stat()) quick_ = statAttributes_ & kListingAttributes;
  }

  // stat of the entry (following a link; a dangling link is reported as itself).
  bool Stat() {
    if (statDone_) return statOk_;
    statDone_ = true;
    statOk_ = false;
    int dirFd = ::dirfd(dir_);
    struct stat linkStat;
    if (::fstatat(dirFd, native_.c_str(), &linkStat, AT_SYMLINK_NOFOLLOW) != 0) {
      SetLastError(ErrnoToWindowsError(errno));
      return false;
    }
    bool link = S_ISLNK(linkStat.st_mode);
    stat_ = linkStat;
    if (link && ::fstatat(dirFd, native_.c_str(), &stat_, 0) != 0) stat_ = linkStat;
    statAttributes_ = AttributesOf(stat_, link) | (IsHidden(name_) ? kFileAttributeHidden : 0);
    statOk_ = true;
    return true;
  }

  DIR* dir_;
  std::string mask_;
  bool matchAll_ = false;
  std::string native_;  // UTF-8 name for the *at calls
  std::string name_;    // 8-bit name
  uint32_t quick_ = 0;
  bool statDone_ = false;
  bool statOk_ = false;
  struct stat stat_ {};
  uint32_t statAttributes_ = 0;
};

}  // namespace

const std::array<uint8_t, 256>& LowerCaseTable() { return kLowerCase; }

std::unique_ptr<FindHandle> FindFirstFile(const std::string& pattern) {
  if (pattern.empty() || pattern.find('\0') != std::string::npos) {
    SetLastError(pattern.empty() ? kErrorPathNotFound : kErrorInvalidName);
    return nullptr;
  }
  auto slash = pattern.find_last_of('/');
  std::string folder = slash == std::string::npos ? "." : pattern.substr(0, slash == 0 ? 1 : slash);
  std::string mask = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  if (mask.empty()) {
    SetLastError(kErrorFileNotFound);
    return nullptr;
  }
  DIR* dir = ::opendir(NativePath(folder).c_str());
  if (!dir) {
    SetLastError(errno == ENOENT || errno == ENOTDIR ? kErrorPathNotFound : ErrnoToWindowsError(errno));
    return nullptr;
  }
  auto handle = std::make_unique<PosixFindHandle>(dir, std::move(mask));
  if (!handle->Next()) {
    if (LastError() == kErrorNoMoreFiles) SetLastError(kErrorFileNotFound);
    return nullptr;
  }
  return handle;
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

bool GetEntryDetails(const std::string& path, FindData& data) {
  if (path.empty() || path.find('\0') != std::string::npos) {
    SetLastError(path.empty() ? kErrorPathNotFound : kErrorInvalidName);
    return false;
  }
  std::string native = NativePath(path);
  struct stat st;
  if (::lstat(native.c_str(), &st) != 0) {
    SetLastErrorForPath(errno, native);
    return false;
  }
  bool link = S_ISLNK(st.st_mode);
  if (link) {
    struct stat target;
    if (::stat(native.c_str(), &target) == 0) st = target;
  }
  std::string name = path;
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  auto slash = name.find_last_of('/');
  data.Name = slash == std::string::npos ? name : name.substr(slash + 1);
  FillDetails(st, AttributesOf(st, link) | (IsHidden(data.Name) ? kFileAttributeHidden : 0), data);
  return true;
}

bool GetFolderIdentity(const std::string& path, FolderIdentity& identity) {
  struct stat st;
  if (::stat(NativePath(path).c_str(), &st) != 0) {
    SetLastError(ErrnoToWindowsError(errno));
    return false;
  }
  identity.Volume = static_cast<uint64_t>(st.st_dev);
  identity.Index = static_cast<uint64_t>(st.st_ino);
  return true;
}

double FileTimeToLocalDateTime(uint64_t fileTime) {
  constexpr int64_t kEpochDifference = 11644473600LL;
  int64_t ticks = static_cast<int64_t>(fileTime);
  int64_t seconds = ticks / 10000000 - kEpochDifference;
  double fraction = static_cast<double>(ticks % 10000000) / 1e7;
  time_t asTime = static_cast<time_t>(seconds);
  struct tm local {};
  long offset = 0;
  if (::localtime_r(&asTime, &local)) offset = local.tm_gmtoff;
  constexpr double kUnixEpochDays = 25569.0;  // 1899-12-30 .. 1970-01-01
  return kUnixEpochDays + (static_cast<double>(seconds + offset) + fraction) / 86400.0;
}

std::string CurrentDirectoryPath() {
  std::vector<char> buffer(PATH_MAX);
  while (!::getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return "/";
    buffer.resize(buffer.size() * 2);
  }
  return Utf8ToAnsi(buffer.data());
}

}  // namespace wb::platform
