// Helpers shared by the POSIX backend's units (not part of the platform interface).
#pragma once

#include <cstdint>
#include <string>

namespace wb::platform {

// errno -> the Windows error code callers test for.
uint32_t ErrnoToWindowsError(int error);
// ENOENT becomes 2 or 3 depending on whether the parent folder exists.
void SetLastErrorForPath(int error, const std::string& nativePath);
// 8-bit system-code-page path -> the UTF-8 path the file system takes.
std::string NativePath(const std::string& path);
uint64_t UnixTimeToFileTime(int64_t seconds, int64_t nanoseconds);

}  // namespace wb::platform
