// Shell folders, the temporary path and the path delimiter.
#pragma once

#include <string>

namespace wb::platform {

enum PathStyle { kPathStyleWindows, kPathStylePosix };

#ifdef _WIN32
inline constexpr PathStyle kNativePathStyle = kPathStyleWindows;
inline constexpr char kPathDelimiter = '\\';
#else
inline constexpr PathStyle kNativePathStyle = kPathStylePosix;
inline constexpr char kPathDelimiter = '/';
#endif

inline constexpr char DelimiterOf(PathStyle style) { return style == kPathStyleWindows ? '\\' : '/'; }

// Shell folder ids (CSIDL values) the tool asks for.
enum : int {
  kCsidlDesktop = 0x0000,
  kCsidlPersonal = 0x0005,  // the user's documents folder
  kCsidlCommonDocuments = 0x002E,
};

// The user's temporary path as GetTempPathA reports it, with a trailing delimiter.
// POSIX: $TMPDIR if set and not empty, else $XDG_CACHE_HOME, else $HOME/.cache.
std::string GetTempPath();

// The three shell lookups of the Windows side. Each returns false and leaves the
// path empty when the folder cannot be resolved; the path has no trailing delimiter.
//  - SHGetSpecialFolderLocation + SHGetPathFromIDListA
bool GetSpecialFolderLocationPath(int csidl, std::string& path);
//  - SHGetSpecialFolderPathA (create flag false)
bool GetSpecialFolderPath(int csidl, std::string& path);
//  - SHGetFolderPathA
bool GetFolderPath(int csidl, std::string& path);

// Ends the process at once with the given exit code.
[[noreturn]] void ExitProcess(int exitCode);

// The folder of the running program, with a trailing delimiter.
std::string GetModuleDir();

// The suite's temporary folder inside the user's temporary path is "WBTempDir".
inline constexpr const char* kSuiteTempFolderName = "WBTempDir";

// The name of that folder for the given temporary path: "WBTempDir", or on
// POSIX, where the path is a folder shared between users (sticky, or writable
// by others, as /tmp is), "WBTempDir-<uid>", so that every user has a folder of
// their own there and nobody can take another's name first. The program and
// the server both build their paths with it, so they meet in the same folder.
std::string SuiteTempFolderName(const std::string& tempPath);

// Checks (POSIX) that a private folder such as WBTempDir is owned by the user and
// not writable by group or others; creates it with mode 0700 when missing.
// Returns false with a German text in reason when it must not be used.
bool EnsurePrivateFolder(const std::string& path, std::string& reason);

}  // namespace wb::platform
