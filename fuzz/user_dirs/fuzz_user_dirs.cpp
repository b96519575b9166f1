// Fuzz target for the reader of user-dirs.dirs: any file text is read without a
// crash and yields "" or an absolute folder; a folder written into the file
// with the shell's quoting, plainly or below "$HOME/", reads back as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/posix/user_dirs.h"

namespace {

constexpr std::string_view kKey = "XDG_DESKTOP_DIR";
constexpr std::string_view kHome = "/home/anna";

void Check(bool condition) {
  if (!condition) std::abort();
}

// As a shell script writer quotes a value: inside double quotes, the four
// characters the shell still reads there get a backslash.
std::string ShellQuoted(std::string_view value) {
  std::string quoted = "\"";
  for (char c : value) {
    if (c == '"' || c == '\\' || c == '$' || c == '`') quoted += '\\';
    quoted += c;
  }
  return quoted + '"';
}

void ReadAnyText(std::string_view bytes) {
  const std::string folder = wb::platform::UserDirFromText(bytes, kKey, kHome);
  Check(folder.empty() || folder.front() == '/');
}

void WrittenFolderReadsBack(std::string_view bytes) {
  // A line of the file cannot hold a line break.
  std::string folder = "/";
  for (char c : bytes) folder += c == '\n' ? '_' : c;
  const std::string before = "# written by the desktop\nXDG_DESKTOP_DIR=\"$HOME/Alt\"\n  XDG_DOCUMENTS_DIR=\"/x\"\n";
  const std::string after = "\nXDG_DESKTOP_DIR_EXTRA=\"/y\"\nXDG_DESKTOP_DIR=relativ\n";
  const std::string plain = before + std::string(kKey) + "=" + ShellQuoted(folder) + after;
  Check(wb::platform::UserDirFromText(plain, kKey, kHome) == folder);
  const std::string belowHome = before + std::string(kKey) + "=\"$HOME" + ShellQuoted(folder).substr(1) + after;
  Check(wb::platform::UserDirFromText(belowHome, kKey, kHome) == std::string(kHome) + folder);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ReadAnyText(bytes);
  WrittenFolderReadsBack(bytes);
  return 0;
}
