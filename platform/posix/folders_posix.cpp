// Shell folders and the temporary path on POSIX (freedesktop conventions):
// temporary path = $TMPDIR, else $XDG_CACHE_HOME, else $HOME/.cache (per user and
// persistent); desktop = XDG_DESKTOP_DIR; public documents = $XDG_DATA_HOME.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/posix/posix_util.h"
#include "platform/posix/user_dirs.h"

namespace wb::platform {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

std::string HomeDir() {
  std::string home = Env("HOME");
  return home.empty() ? "/tmp" : WithoutTrailingSlash(home);
}

// XDG_DESKTOP_DIR="$HOME/Schreibtisch" (or another key) from user-dirs.dirs, if the file names one.
std::string FromUserDirs(const std::string& key) {
  std::string config = Env("XDG_CONFIG_HOME");
  if (config.empty()) config = HomeDir() + "/.config";
  std::ifstream file(config + "/user-dirs.dirs", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return UserDirFromText(text, key, HomeDir());
}

// The UTF-8 folder for a shell folder id, "" for ids the tool does not know.
std::string ResolveFolder(int csidl) {
  switch (csidl) {
    case kCsidlDesktop: {
      std::string desktop = FromUserDirs("XDG_DESKTOP_DIR");
      return desktop.empty() ? HomeDir() + "/Desktop" : desktop;
    }
    case kCsidlPersonal: {
      std::string documents = FromUserDirs("XDG_DOCUMENTS_DIR");
      return documents.empty() ? HomeDir() + "/Documents" : documents;
    }
    case kCsidlCommonDocuments: {
      std::string data = Env("XDG_DATA_HOME");
      return data.empty() ? HomeDir() + "/.local/share" : data;
    }
    default: return "";
  }
}

bool Resolve(int csidl, std::string& path) {
  std::string native = WithoutTrailingSlash(ResolveFolder(csidl));
  if (native.empty()) {
    SetLastError(kErrorFileNotFound);
    path.clear();
    return false;
  }
  path = Utf8ToAnsi(native);
  return true;
}

}  // namespace

std::string GetTempPath() {
  std::string path = Env("TMPDIR");
  if (path.empty()) path = Env("XDG_CACHE_HOME");
  if (path.empty()) path = HomeDir() + "/.cache";
  if (path.back() != '/') path += '/';
  return Utf8ToAnsi(path);
}

bool GetSpecialFolderLocationPath(int csidl, std::string& path) { return Resolve(csidl, path); }
bool GetSpecialFolderPath(int csidl, std::string& path) { return Resolve(csidl, path); }
bool GetFolderPath(int csidl, std::string& path) { return Resolve(csidl, path); }

void ExitProcess(int exitCode) { std::_Exit(exitCode); }

std::string GetModuleDir() {
  char buffer[4096];
  ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return "./";
  std::string path(buffer, static_cast<size_t>(length));
  return Utf8ToAnsi(path.substr(0, path.find_last_of('/') + 1));
}

std::string SuiteTempFolderName(const std::string& tempPath) {
  const std::string native = WithoutTrailingSlash(NativePath(tempPath));
  struct stat st;
  const bool shared = ::stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & (S_ISVTX | S_IWOTH));
  if (!shared) return kSuiteTempFolderName;
  return std::string(kSuiteTempFolderName) + "-" + std::to_string(::geteuid());
}

bool EnsurePrivateFolder(const std::string& path, std::string& reason) {
  std::string native = WithoutTrailingSlash(NativePath(path));
  if (::mkdir(native.c_str(), 0700) != 0 && errno != EEXIST) {
    SetLastErrorForPath(errno, native);
    reason = FormatMessageText("Der Ordner %s kann nicht erstellt werden.", path);
    return false;
  }
  struct stat st;
  if (::lstat(native.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    reason = FormatMessageText("%s ist kein Ordner und wird nicht benutzt.", path);
    return false;
  }
  if (st.st_uid != ::geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH))) {
    reason = FormatMessageText(Ansi(u8"Der Ordner %s gehört einem anderen Benutzer oder ist für andere beschreibbar; "
                                    u8"er wird aus Sicherheitsgründen nicht benutzt."),
                               path);
    return false;
  }
  return true;
}

}  // namespace wb::platform
