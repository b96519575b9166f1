// Directory listing with the semantics of FindFirstFileA / FindNextFileA: a
// folder plus a file mask, names matched without regard to case ("*.*" and "*"
// match every name, "*." names without extension), "." and ".." included.
//
// A listing costs what the system's directory read costs: the name and the
// kind of each entry come with the listing, and the rest of the details (size,
// time stamps, the read-only bit) are fetched only for the entries a caller
// asks about. On POSIX: hidden = the name begins with "."; read-only = the
// owner has no write permission; a symbolic link is a reparse point (with the
// directory bit when it leads to a folder); fifos, sockets and devices carry
// the device bit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace wb::platform {

// Attribute bits beyond those of files.h that the search criteria name.
enum : uint32_t {
  kFileAttributeDevice = 0x40,
  kFileAttributeTemporary = 0x100,
  kFileAttributeSparseFile = 0x200,
  kFileAttributeCompressed = 0x800,
  kFileAttributeOffline = 0x1000,
  kFileAttributeNotContentIndexed = 0x2000,
  kFileAttributeEncrypted = 0x4000,
  kFileAttributeVirtual = 0x10000,
};

// The attribute bits a listing knows without asking for the entry's details:
// directory, archive (every entry that is not a folder), reparse point,
// hidden, system, device.
inline constexpr uint32_t kListingAttributes = 0x10 | 0x20 | 0x400 | 0x2 | 0x4 | 0x40;

class FindHandle {
 public:
  virtual ~FindHandle() = default;
  // The current entry's name (8-bit, system code page).
  virtual const std::string& Name() const = 0;
  // The current entry's attributes; bits outside kListingAttributes are exact
  // only when asked for in needed (which may cost a look at the entry).
  virtual uint32_t Attributes(uint32_t needed) = 0;
  // All details of the current entry (size, times, every attribute).
  virtual bool Details(FindData& data) = 0;
  // Moves to the next entry that matches the mask; false with LastError
  // kErrorNoMoreFiles at the end.
  virtual bool Next() = 0;
};

// FindFirstFileA: the listing of pattern (folder + mask), positioned on the
// first matching entry; nullptr with LastError kErrorFileNotFound when nothing
// matches, kErrorPathNotFound when the folder does not exist or cannot be read.
std::unique_ptr<FindHandle> FindFirstFile(const std::string& pattern);
// The classic pair with complete details for callers that want everything.
std::unique_ptr<FindHandle> FindFirstFile(const std::string& pattern, FindData& data);
bool FindNextFile(FindHandle& handle, FindData& data);

// The details of one entry by its path (symbolic links reported as the
// listing reports them); false + LastError when it does not exist.
bool GetEntryDetails(const std::string& path, FindData& data);

// Identity of a folder (device and inode; volume and file index on Windows),
// so that a walk through linked folders can notice it came back to one.
struct FolderIdentity {
  uint64_t Volume = 0;
  uint64_t Index = 0;
  bool operator==(const FolderIdentity&) const = default;
};
bool GetFolderIdentity(const std::string& path, FolderIdentity& identity);

// The mask rule of the listing, exposed for tests and for callers that match
// names they already have: case-insensitive over the system code page.
bool MatchesFileMask(std::string_view name, std::string_view mask);

// A FILETIME (100 ns units since 1601-01-01 UTC) as a local date-time: days
// since 1899-12-30 with the time of day as the fraction.
double FileTimeToLocalDateTime(uint64_t fileTime);

// The current directory (8-bit), without trailing delimiter.
std::string CurrentDirectoryPath();

}  // namespace wb::platform
