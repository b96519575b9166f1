// Client folder, temporary folder, shell folders, path helpers and safe file names.
#include "client/client_dirs.h"

#include <cctype>

#include "client/file_helpers.h"
#include "client/message_boxes.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/files.h"

namespace wb {
namespace {

// The exit code after a shell folder could not be resolved: a failure, so a
// calling script does not take the aborted start for a success.
constexpr int kHaltExitCode = 1;

bool IsDelimiter(char c, platform::PathStyle style) { return c == platform::DelimiterOf(style); }

// Last delimiter (or ':' in the Windows style), npos when none.
size_t LastDelimiter(const std::string& path, platform::PathStyle style) {
  return style == platform::kPathStyleWindows ? path.find_last_of("\\:") : path.find_last_of('/');
}

constexpr char kForbiddenChars[] = {'\\', '?', '|', '>', '<', ':', '/', '*', '"'};

}  // namespace

std::string AddTrailingBackslash(const std::string& path, platform::PathStyle style) {
  if (path.empty()) return path;
  char last = path.back();
  if (IsDelimiter(last, style) || (style == platform::kPathStyleWindows && last == ':')) return path;
  if (style == platform::kPathStyleWindows && path.size() == 1 &&
      std::toupper(static_cast<unsigned char>(path[0])) >= 'A' &&
      std::toupper(static_cast<unsigned char>(path[0])) <= 'Z')
    return path + ":\\";
  return path + platform::DelimiterOf(style);
}

std::string RemoveTrailingBackslash(const std::string& path, platform::PathStyle style) {
  if (!path.empty() && IsDelimiter(path.back(), style)) return path.substr(0, path.size() - 1);
  return path;
}

std::string ExtractFilePath(const std::string& path, platform::PathStyle style) {
  size_t at = LastDelimiter(path, style);
  return at == std::string::npos ? std::string() : path.substr(0, at + 1);
}

std::string ExtractFileName(const std::string& path, platform::PathStyle style) {
  size_t at = LastDelimiter(path, style);
  return at == std::string::npos ? path : path.substr(at + 1);
}

std::string ExtractFileExt(const std::string& path, platform::PathStyle style) {
  std::string name = ExtractFileName(path, style);
  size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

std::string MakeSafeFileName(std::string_view text, bool removeSpaces) {
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 1 && byte <= 31) continue;
    if (removeSpaces && c == ' ') continue;
    bool forbidden = false;
    for (char f : kForbiddenChars) forbidden = forbidden || c == f;
    if (!forbidden) result.push_back(c);
  }
  size_t begin = 0, end = result.size();
  while (begin < end && static_cast<unsigned char>(result[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(result[end - 1]) <= 32) --end;
  return result.substr(begin, end - begin);
}

std::string GetSpecialFolderOrHalt(int csidl) {
  std::string path;
  if (!platform::GetSpecialFolderLocationPath(csidl, path)) {
    path.clear();
    if (platform::GetSpecialFolderPath(csidl, path) && !path.empty()) path = AddTrailingBackslash(path);
  }
  if (path.empty()) {
    MessageBoxes::ShowInfo("Systemfehler:\r\n" + platform::SystemErrorMessage(platform::LastError()));
    platform::ExitProcess(kHaltExitCode);
  }
  return path;
}

std::string GetShellFolder(int csidl) {
  std::string path;
  if (platform::GetFolderPath(csidl, path) && !path.empty()) return AddTrailingBackslash(path);
  path.clear();
  if (platform::GetSpecialFolderPath(csidl, path) && !path.empty()) return AddTrailingBackslash(path);
  return {};
}

std::string GetClientRootDir() {
  std::string dir = AddTrailingBackslash(GetSpecialFolderOrHalt(platform::kCsidlCommonDocuments)) + kClientRootSegment +
                    platform::kPathDelimiter + ClientProfileName + platform::kPathDelimiter;
  ForceDirs(dir);
  return dir;
}

std::string GetClientTempDir(const std::string& sub) {
  const std::string tempPath = AddTrailingBackslash(platform::GetTempPath());
  std::string tempDir = tempPath + platform::SuiteTempFolderName(tempPath) + platform::kPathDelimiter;
  // Another user must not be able to plant files (such as a service list
  // pointing at their own server) in the folder the tool trusts.
  ForceDirs(ExtractFilePath(RemoveTrailingBackslash(tempDir)));
  std::string reason;
  if (!platform::EnsurePrivateFolder(tempDir, reason)) throw EInOutError(reason, platform::kErrorAccessDenied);
  if (sub.empty()) return tempDir;
  std::string dir = tempDir + sub + platform::kPathDelimiter;
  ForceDirs(dir);
  return dir;
}

}  // namespace wb
