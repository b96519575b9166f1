// The suite's client folder (per machine), the tool's temporary folder (per
// user), shell folders, and the path and file-name helpers.
#pragma once

#include <string>
#include <string_view>

#include "platform/folders.h"

namespace wb {

inline constexpr const char* kClientRootSegment = "WB-ClientRoot";
inline constexpr const char* ClientProfileName = "default";
inline constexpr const char* kTempDirSegment = platform::kSuiteTempFolderName;
inline constexpr const char* LocalServiceListFile = "WBK-EXCHANGELOCALSERVICE.TXT";

// <public documents>/WB-ClientRoot/default/ — created on demand.
std::string GetClientRootDir();
// <temporary path>/WBTempDir/[sub/] — created on demand; a WBTempDir that is not
// private to the user is refused with an EInOutError. In a temporary path that
// users share (POSIX /tmp) the folder is WBTempDir-<uid> (SuiteTempFolderName).
std::string GetClientTempDir(const std::string& sub);
// A shell folder; on failure tells the user ("Systemfehler:\r\n" + system text)
// and ends the process with a non-zero exit code.
std::string GetSpecialFolderOrHalt(int csidl);
// A shell folder with a trailing delimiter, or "" when it cannot be resolved.
std::string GetShellFolder(int csidl);

std::string AddTrailingBackslash(const std::string& path, platform::PathStyle style = platform::kNativePathStyle);
std::string RemoveTrailingBackslash(const std::string& path, platform::PathStyle style = platform::kNativePathStyle);
// The part of a path up to and including the last delimiter (or ':' in the
// Windows style); "" when there is none.
std::string ExtractFilePath(const std::string& path, platform::PathStyle style = platform::kNativePathStyle);
std::string ExtractFileName(const std::string& path, platform::PathStyle style = platform::kNativePathStyle);
// The extension with its dot ("" when the name has none).
std::string ExtractFileExt(const std::string& path, platform::PathStyle style = platform::kNativePathStyle);

// Drops control characters, (optionally) spaces and the nine forbidden
// characters \ ? | > < : / * " and trims the ends.
std::string MakeSafeFileName(std::string_view text, bool removeSpaces);

}  // namespace wb
