// Shell links on POSIX: a freedesktop .desktop launcher. The file is written
// through the platform's crash-safe writer, is executable, and is
// marked trusted through gio where that tool exists (file managers refuse to
// run untrusted launchers from the desktop without asking). Paths and texts
// arrive as 8-bit text in the system code page; the file is UTF-8.
#include "platform/shell_link.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string_view>
#include <thread>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/posix/posix_util.h"

extern char** environ;

namespace wb::platform {
namespace {

// gio may have to start the desktop's metadata service first.
constexpr auto kGioTimeout = std::chrono::seconds(5);

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  for (size_t i = 0; i < suffix.size(); ++i) {
    char a = text[text.size() - suffix.size() + i], b = suffix[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

// Inside double quotes these four stand for themselves only after a backslash.
std::string QuotedExecArgument(const std::string& argument) {
  std::string quoted = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + '"';
}

// An executable carries no icon here: a picture file is named as it is, a
// program by its name in the icon theme (the package installs that icon).
std::string IconValue(const std::string& iconLocation) {
  for (const char* picture : {".png", ".svg", ".xpm"})
    if (EndsWithNoCase(iconLocation, picture)) return iconLocation;
  std::string name = iconLocation.substr(iconLocation.find_last_of('/') + 1);
  return name.empty() ? "application-x-executable" : name;
}

std::string LauncherText(const TShellLink& link) {
  std::string text = "[Desktop Entry]\n";
  text += "Type=Application\n";
  text += "Version=1.0\n";
  text += "Name=" + DesktopStringValue(AnsiToUtf8(link.Description)) + "\n";
  text += "Exec=" +
          DesktopExecValue(NativePath(link.Path),
                           [&] {
                             std::vector<std::string> arguments;
                             for (const std::string& argument : link.ArgumentList)
                               arguments.push_back(AnsiToUtf8(argument));
                             return arguments;
                           }()) +
          "\n";
  if (!link.WorkingDirectory.empty()) text += "Path=" + DesktopStringValue(NativePath(link.WorkingDirectory)) + "\n";
  text += "Icon=" + DesktopStringValue(IconValue(NativePath(link.IconLocation))) + "\n";
  text += "Terminal=false\n";
  return text;
}

// Runs gio to mark the launcher trusted, quietly and for a bounded time; the
// launcher works without the mark (the desktop then asks once).
void MarkTrusted(const std::string& nativePath) {
  if (!FindProgramOnPath("gio")) return;
  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  ::posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::string arguments[] = {"gio", "set", nativePath, "metadata::trusted", "true"};
  char* argv[] = {arguments[0].data(), arguments[1].data(), arguments[2].data(),
                  arguments[3].data(), arguments[4].data(), nullptr};
  pid_t pid = 0;
  int error = ::posix_spawnp(&pid, "gio", &actions, nullptr, argv, environ);
  ::posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return;
  const auto deadline = std::chrono::steady_clock::now() + kGioTimeout;
  for (;;) {
    pid_t done = ::waitpid(pid, nullptr, WNOHANG);
    if (done == pid || (done < 0 && errno != EINTR)) return;
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid, SIGKILL);
  while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

std::string DesktopStringValue(const std::string& value) {
  std::string escaped;
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    switch (c) {
      case '\\': escaped += "\\\\"; break;
      case '\n': escaped += "\\n"; break;
      case '\t': escaped += "\\t"; break;
      case '\r': escaped += "\\r"; break;
      // Blanks after "=" are not part of a value: a leading one is written out.
      case ' ': escaped += i == 0 ? "\\s" : " "; break;
      default: escaped += c; break;
    }
  }
  return escaped;
}

std::string DesktopExecValue(const std::string& program, const std::vector<std::string>& arguments) {
  std::string line = QuotedExecArgument(program);
  for (const std::string& argument : arguments) line += " " + QuotedExecArgument(argument);
  std::string withFieldCodes;
  for (char c : line) {
    if (c == '%') withFieldCodes += '%';  // "%%" is a per-cent sign, not a field code
    withFieldCodes += c;
  }
  return DesktopStringValue(withFieldCodes);
}

bool SaveShellLink(const TShellLink& link, const std::string& linkPath) {
  const std::string native = NativePath(linkPath);
  if (native.empty()) {
    SetLastError(kErrorPathNotFound);
    return false;
  }
  // An existing launcher is replaced whole or not at all.
  if (!ReplaceFileContents(linkPath, LauncherText(link), FileRights::Executable)) return false;
  MarkTrusted(native);
  return true;
}

std::string GetModuleFileName() {
  char buffer[4096];
  ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return {};
  return Utf8ToAnsi(std::string(buffer, static_cast<size_t>(length)));
}

}  // namespace wb::platform
