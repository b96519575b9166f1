// The desktop's shell services on POSIX: xdg-open for "open", xdg-mime and the
// .desktop files for the associated program, the file manager's D-Bus ShowItems
// (through dbus-send) for "show in folder", and posix_spawnp for "program + file".
// Every child is started without a shell, with the file as an argument of its own,
// none of this process's descriptors beyond the standard three, default signal
// handling and an empty signal mask.
#include "platform/shell.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/posix/desktop_entry.h"
#include "platform/posix/posix_util.h"

extern char** environ;

namespace wb::platform {
namespace {

using Clock = std::chrono::steady_clock;

// xdg-mime is a script that may ask the desktop; it must not hold the window long.
constexpr unsigned kMimeQueryTimeoutMs = 10000;
// The file manager may have to be started by the bus first.
constexpr unsigned kShowItemsReplyTimeoutMs = 5000;
// dbus-send itself gets this much beyond the reply time-out before it is ended.
constexpr unsigned kShowItemsGraceMs = 1000;
constexpr size_t kMaxCapturedOutput = size_t{64} * 1024;
// FindExecutableA returns an instance handle above 32 on success.
constexpr intptr_t kProgramFound = 42;
// Deepest sub-folder a desktop file id may name (vendor-app.desktop -> vendor/app.desktop).
constexpr int kMaxDesktopIdDepth = 4;
// Started programs remembered for reaping.
constexpr size_t kMaxTrackedChildren = 256;

// ---------------------------------------------------------------------------
// Starting children

enum class ChildOutput {
  Inherit,  // stdout and stderr stay ours (a program the user chose)
  Discard,  // both go to /dev/null (our own helpers: their failures are silent)
  Capture,  // stdout into a pipe, stderr to /dev/null
};

class FileActions {
 public:
  FileActions() { ::posix_spawn_file_actions_init(&actions_); }
  ~FileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;
  posix_spawn_file_actions_t* get() { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

class SpawnAttributes {
 public:
  explicit SpawnAttributes(bool newSession) {
    ::posix_spawnattr_init(&attributes_);
    // Ignored signals (SIGPIPE in a server) would stay ignored across exec, and a
    // blocked mask would be inherited: the child gets the defaults of a fresh start.
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    ::posix_spawnattr_setsigdefault(&attributes_, &all);
    ::posix_spawnattr_setsigmask(&attributes_, &none);
    short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
#ifdef POSIX_SPAWN_SETSID
    // A started program lives on its own, like a process the Windows shell starts.
    if (newSession) flags |= POSIX_SPAWN_SETSID;
#endif
    ::posix_spawnattr_setflags(&attributes_, flags);
  }
  ~SpawnAttributes() { ::posix_spawnattr_destroy(&attributes_); }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;
  posix_spawnattr_t* get() { return &attributes_; }

 private:
  posix_spawnattr_t attributes_;
};

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  int get() const { return fd_; }
  void Reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  int Release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_ = -1;
};

// Starts argv[0] (looked up in PATH) with the arguments. With Capture, captureFd
// receives the read end of the child's stdout. Sets LastError on failure.
bool Spawn(const std::vector<std::string>& argv, ChildOutput output, bool newSession, pid_t& pid, UniqueFd* captureFd) {
  if (argv.empty() || argv[0].empty()) {
    SetLastError(kErrorFileNotFound);
    return false;
  }
  FileActions actions;
  UniqueFd pipeRead, pipeWrite;
  ::posix_spawn_file_actions_addopen(actions.get(), 0, "/dev/null", O_RDONLY, 0);
  if (output == ChildOutput::Capture) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
      SetLastError(ErrnoToWindowsError(errno));
      return false;
    }
    pipeRead.Reset(fds[0]);
    pipeWrite.Reset(fds[1]);
    ::posix_spawn_file_actions_adddup2(actions.get(), pipeWrite.get(), 1);
  } else if (output == ChildOutput::Discard) {
    ::posix_spawn_file_actions_addopen(actions.get(), 1, "/dev/null", O_WRONLY, 0);
  }
  if (output != ChildOutput::Inherit) {
    ::posix_spawn_file_actions_addopen(actions.get(), 2, "/dev/null", O_WRONLY, 0);
  }
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  // Nothing of ours leaks into the child (CreateProcess without inheritance).
  ::posix_spawn_file_actions_addclosefrom_np(actions.get(), 3);
#endif
  SpawnAttributes attributes(newSession);

  std::vector<std::string> copies(argv);
  std::vector<char*> pointers;
  for (std::string& text : copies) pointers.push_back(text.data());
  pointers.push_back(nullptr);

  int error = ::posix_spawnp(&pid, pointers[0], actions.get(), attributes.get(), pointers.data(), environ);
  if (error != 0) {
    SetLastError(ErrnoToWindowsError(error));
    return false;
  }
  if (captureFd) captureFd->Reset(pipeRead.Release());
  return true;
}

// Programs we start and do not wait for are reaped at the next start, so that
// they do not linger as zombies, without taking over SIGCHLD for the process.
// Trivially destructible: a job still running while the process ends may use it.
class DetachedChildren {
 public:
  void Add(pid_t pid) {
    std::lock_guard<std::mutex> guard(mutex_);
    ReapFinished();
    // Beyond the limit a child simply stays unreaped until the process ends.
    if (count_ < pids_.size()) pids_[count_++] = pid;
  }

 private:
  void ReapFinished() {
    size_t kept = 0;
    for (size_t i = 0; i < count_; ++i) {
      if (::waitpid(pids_[i], nullptr, WNOHANG) == 0) pids_[kept++] = pids_[i];
    }
    count_ = kept;
  }
  std::mutex mutex_;
  std::array<pid_t, kMaxTrackedChildren> pids_{};
  size_t count_ = 0;
};

constinit DetachedChildren gDetachedChildren;

bool StartDetached(const std::vector<std::string>& argv, ChildOutput output) {
  pid_t pid = 0;
  if (!Spawn(argv, output, true, pid, nullptr)) return false;
  gDetachedChildren.Add(pid);
  return true;
}

unsigned MillisecondsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<unsigned>(left) : 0;
}

// Waits until the child has ended or the deadline has passed; a child still
// running then is killed. Returns its exit code, or -1 when it had to be killed.
int WaitForChild(pid_t pid, Clock::time_point deadline) {
#ifdef SYS_pidfd_open
  UniqueFd pidfd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
#else
  UniqueFd pidfd;
#endif
  for (;;) {
    int status = 0;
    pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (done < 0 && errno != EINTR) return -1;
    unsigned left = MillisecondsLeft(deadline);
    if (left == 0) break;
    if (pidfd.get() >= 0) {
      pollfd event{pidfd.get(), POLLIN, 0};
      ::poll(&event, 1, static_cast<int>(left));
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(std::min(left, 5u)));
    }
  }
  ::kill(pid, SIGKILL);
  while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
  return -1;
}

// Runs a helper and waits for it; its output is thrown away. The exit code, or -1.
int RunHelper(const std::vector<std::string>& argv, unsigned timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  pid_t pid = 0;
  if (!Spawn(argv, ChildOutput::Discard, false, pid, nullptr)) return -1;
  return WaitForChild(pid, deadline);
}

// Runs a helper and returns what it wrote to stdout when it ended with exit code 0.
std::optional<std::string> RunHelperForOutput(const std::vector<std::string>& argv, unsigned timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  pid_t pid = 0;
  UniqueFd output;
  if (!Spawn(argv, ChildOutput::Capture, false, pid, &output)) return std::nullopt;
  std::string text;
  char buffer[4096];
  for (;;) {
    pollfd event{output.get(), POLLIN, 0};
    int ready = ::poll(&event, 1, static_cast<int>(MillisecondsLeft(deadline)));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;  // time is up; WaitForChild ends the helper
    ssize_t got = ::read(output.get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    if (text.size() < kMaxCapturedOutput) text.append(buffer, static_cast<size_t>(got));
  }
  output.Reset();
  if (WaitForChild(pid, deadline) != 0) return std::nullopt;
  return text;
}

// ---------------------------------------------------------------------------
// Text helpers

std::string_view Trim(std::string_view text) {
  const char* blanks = " \t\r\n";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

std::string FirstLine(std::string_view text) { return std::string(Trim(text.substr(0, text.find('\n')))); }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsAsciiAlnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), text.begin(),
                    [](char a, char b) { return AsciiLower(a) == AsciiLower(b); });
}

// A relative name beginning with "-" would be read as an option by the helper.
std::string AsArgument(const std::string& nativePath) {
  return !nativePath.empty() && nativePath[0] == '-' ? "./" + nativePath : nativePath;
}

bool Exists(const std::string& nativePath) {
  struct stat st;
  return ::lstat(nativePath.c_str(), &st) == 0;
}

// file:// URI of an absolute path; every byte but the unreserved ones and "/" is
// percent-encoded, so no "," can split dbus-send's array argument.
std::string FileUri(const std::string& absolutePath) {
  static const char* hex = "0123456789ABCDEF";
  std::string uri = "file://";
  for (const char ch : absolutePath) {
    const auto c = static_cast<unsigned char>(ch);
    if (IsAsciiAlnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += hex[c >> 4];
      uri += hex[c & 0xF];
    }
  }
  return uri;
}

// ---------------------------------------------------------------------------
// The program of a MIME association

// The folders desktop files live in, most important first.
std::vector<std::string> ApplicationFolders() {
  std::vector<std::string> folders;
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (dataHome && *dataHome) folders.push_back(std::string(dataHome) + "/applications");
  else if (home && *home) folders.push_back(std::string(home) + "/.local/share/applications");
  const char* dataDirs = std::getenv("XDG_DATA_DIRS");
  std::string_view dirs = dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share";
  while (!dirs.empty()) {
    size_t colon = dirs.find(':');
    std::string_view dir = dirs.substr(0, colon);
    if (!dir.empty()) folders.push_back(std::string(dir) + "/applications");
    if (colon == std::string_view::npos) break;
    dirs.remove_prefix(colon + 1);
  }
  return folders;
}

// A desktop file id names "vendor/app.desktop" as "vendor-app.desktop".
std::optional<std::string> FindDesktopFile(const std::string& folder, const std::string& id, int depth) {
  std::string direct = folder + "/" + id;
  struct stat st;
  if (::stat(direct.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return direct;
  if (depth >= kMaxDesktopIdDepth) return std::nullopt;
  for (size_t dash = id.find('-'); dash != std::string::npos; dash = id.find('-', dash + 1)) {
    std::string sub = folder + "/" + id.substr(0, dash);
    if (::stat(sub.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      if (auto found = FindDesktopFile(sub, id.substr(dash + 1), depth + 1)) return found;
    }
  }
  return std::nullopt;
}

// The Exec value of a desktop file's [Desktop Entry] group.
std::optional<std::string> ReadExecValue(const std::string& desktopFile) {
  std::ifstream in(desktopFile, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return DesktopEntryValue(text, "Exec");
}

bool IsFieldCode(const std::string& argument) {
  return argument.size() == 2 && argument[0] == '%' &&
         std::string_view("fFuUdDnNickvm").find(argument[1]) != std::string_view::npos;
}

// The program of an Exec line when starting it with the file as its only
// argument does what the line means: the program followed by nothing but
// options and field codes. A launcher line ("env A=1 app %f", "flatpak run ...")
// has no such program; the file then goes to xdg-open, which runs the line whole.
std::optional<std::string> ProgramOfExecLine(const std::string& value) {
  const std::optional<std::vector<std::string>> arguments = SplitExecArguments(value);
  if (!arguments || arguments->empty()) return std::nullopt;
  for (size_t i = 1; i < arguments->size(); ++i) {
    const std::string& argument = (*arguments)[i];
    if (!IsFieldCode(argument) && argument.rfind('-', 0) != 0) return std::nullopt;
  }
  const std::string program = ExecArgumentText(arguments->front());
  if (std::filesystem::path(program).filename() == "env") return std::nullopt;
  return FindProgramOnPath(program);
}

std::optional<std::string> AssociatedProgram(const std::string& nativeFile) {
  auto mimeOutput = RunHelperForOutput({"xdg-mime", "query", "filetype", AsArgument(nativeFile)}, kMimeQueryTimeoutMs);
  std::string mimeType = mimeOutput ? FirstLine(*mimeOutput) : "";
  if (mimeType.empty()) return std::nullopt;
  auto defaultOutput = RunHelperForOutput({"xdg-mime", "query", "default", mimeType}, kMimeQueryTimeoutMs);
  std::string desktopId = defaultOutput ? FirstLine(*defaultOutput) : "";
  desktopId = std::string(Trim(desktopId.substr(0, desktopId.find(';'))));
  if (desktopId.empty() || desktopId.find('/') != std::string::npos) return std::nullopt;
  for (const std::string& folder : ApplicationFolders()) {
    auto desktopFile = FindDesktopFile(folder, desktopId, 0);
    if (!desktopFile) continue;
    auto exec = ReadExecValue(*desktopFile);
    return exec ? ProgramOfExecLine(*exec) : std::nullopt;
  }
  return std::nullopt;
}

// ---------------------------------------------------------------------------
// Targets for xdg-open

// The Windows shell reads "www.x.de" and "ftp.x.de" as web and ftp addresses;
// xdg-open needs the scheme. A file of that name on disk stays a file.
std::string ShellTarget(const std::string& nativeTarget) {
  if (Exists(nativeTarget)) return AsArgument(nativeTarget);
  if (StartsWithNoCase(nativeTarget, "www.")) return "http://" + nativeTarget;
  if (StartsWithNoCase(nativeTarget, "ftp.")) return "ftp://" + nativeTarget;
  return AsArgument(nativeTarget);
}

bool IsOpenVerb(const std::string& verb) {
  return verb.empty() || (verb.size() == 4 && StartsWithNoCase(verb, "open"));
}

bool CallShowItems(const std::string& absolutePath) {
  const std::vector<std::string> argv = {
      "dbus-send",
      "--session",
      "--print-reply",
      "--reply-timeout=" + std::to_string(kShowItemsReplyTimeoutMs),
      "--type=method_call",
      "--dest=org.freedesktop.FileManager1",
      "/org/freedesktop/FileManager1",
      "org.freedesktop.FileManager1.ShowItems",
      "array:string:" + FileUri(absolutePath),
      "string:",
  };
  return RunHelper(argv, kShowItemsReplyTimeoutMs + kShowItemsGraceMs) == 0;
}

}  // namespace

// ---------------------------------------------------------------------------

bool ShellExecuteFile(const std::string& verb, const std::string& file) {
  if (!IsOpenVerb(verb)) {
    SetLastError(kErrorNotSupported);
    return false;
  }
  const std::string target = NativePath(file);
  if (target.empty()) {
    SetLastError(kErrorFileNotFound);
    return false;
  }
  return StartDetached({"xdg-open", ShellTarget(target)}, ChildOutput::Discard);
}

intptr_t FindExecutable(const std::string& file, std::array<char, kMaxPath>& result) {
  result.fill('\0');
  const std::string native = NativePath(file);
  struct stat st;
  if (native.empty() || ::stat(native.c_str(), &st) != 0) return kSeErrFileNotFound;
  std::optional<std::string> program = AssociatedProgram(native);
  if (!program) return kSeErrNoAssociation;
  const std::string text = Utf8ToAnsi(*program);
  std::copy_n(text.begin(), std::min(text.size(), kMaxPath - 1), result.begin());
  return kProgramFound;
}

bool ShowItemInFolder(const std::string& path) {
  const std::string native = NativePath(path);
  if (native.empty() || !Exists(native)) {
    SetLastError(kErrorFileNotFound);
    return false;
  }
  std::error_code ignored;
  std::filesystem::path absolute = std::filesystem::absolute(native, ignored).lexically_normal();
  if (!absolute.has_filename()) absolute = absolute.parent_path();  // "/a/b/" names the folder b
  if (CallShowItems(absolute.string())) return true;
  // No file manager answers on the bus: at least open the folder.
  return StartDetached({"xdg-open", AsArgument(absolute.parent_path().string())}, ChildOutput::Discard);
}

bool StartProgramWithFile(const std::string& program, const std::string& file) {
  return StartDetached({NativePath(program), NativePath(file)}, ChildOutput::Inherit);
}

}  // namespace wb::platform
