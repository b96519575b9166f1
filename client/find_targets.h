// Building the search's targets from the file criteria: masks, folder entries
// with their depth prefixes, extra paths, and the merging of equal folders.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "client/find_criteria.h"
#include "platform/folders.h"

namespace wb {

TTargetPaths BuildTargetPaths(const std::string& fileName, const std::string& location,
                              const std::vector<std::string>& paths, bool subfolders, uint16_t minLevel,
                              uint16_t maxLevel, platform::PathStyle style = platform::kNativePathStyle);
TTargetPaths BuildTargetPathsFrom(const std::string& fileName, const std::string& location,
                                  const std::vector<std::string>& paths, bool subfolders, uint16_t minLevel,
                                  uint16_t maxLevel, const std::string& currentDir, platform::PathStyle style);

// The masks of a ";"-separated list: trimmed, empty and repeated ones dropped,
// "*.*" when none is left.
std::vector<std::string> SplitFileMasks(std::string_view text);

// A full path: relative paths are taken from the current directory, "." and
// ".." are resolved, repeated delimiters collapse.
std::string ExpandFileName(const std::string& path, platform::PathStyle style = platform::kNativePathStyle);
// The same against a given current directory (tests use it for the Windows style).
std::string ExpandFileNameFrom(const std::string& path, const std::string& currentDir, platform::PathStyle style);

}  // namespace wb
