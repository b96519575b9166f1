// Helpers shared by the POSIX backend's units (not part of the platform interface).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace wb::platform {

// errno -> the Windows error code callers test for.
uint32_t ErrnoToWindowsError(int error);
// ENOENT becomes 2 or 3 depending on whether the parent folder exists.
void SetLastErrorForPath(int error, const std::string& nativePath);
// 8-bit system-code-page path -> the UTF-8 path the file system takes.
std::string NativePath(const std::string& path);
uint64_t UnixTimeToFileTime(int64_t seconds, int64_t nanoseconds);
// The file a program name starts, as posix_spawnp finds it: a name with "/" as
// it is, a bare name in the folders of PATH (an empty entry is the current
// folder; without PATH the usual system folders). Only an executable regular
// file counts. Native (UTF-8) names; the absolute path, or nothing.
std::optional<std::string> FindProgramOnPath(const std::string& nativeName);

}  // namespace wb::platform
