// Named pipes on POSIX: \\.\pipe\NAME is the Unix-domain stream socket
// <temporary path>/WBTempDir/pipes/NAME (WBTempDir-<uid> in a shared /tmp).
// The folders are private to the user (mode 0700, refused when another user
// owns them or others may write them), so only the user's own processes can
// reach a server. Sockets are non-blocking and every wait goes through poll()
// with its time-out.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/pipes.h"
#include "platform/posix/posix_util.h"

namespace wb::platform {
namespace {

// The sockets live one level below the folder GetClientTempDir("") hands out
// (SuiteTempFolderName of the temporary path).
constexpr const char* kPipesSegment = "pipes";
constexpr int kListenBacklog = SOMAXCONN;
// While every instance is busy, WaitNamedPipe looks again after this pause.
constexpr auto kBusyRetryPause = std::chrono::milliseconds(5);

bool StartsWithNoCase(const std::string& text, size_t at, std::string_view prefix) {
  if (text.size() - at < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char a = text[at + i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (a != prefix[i]) return false;
  }
  return true;
}

// Splits "\\computer\pipe\NAME". False when the text is no pipe path at all.
bool SplitPipePath(const std::string& path, std::string& computer, std::string& name) {
  if (path.size() < 2 || path[0] != '\\' || path[1] != '\\') return false;
  size_t slash = path.find('\\', 2);
  if (slash == std::string::npos) return false;
  computer = path.substr(2, slash - 2);
  if (!StartsWithNoCase(path, slash + 1, "pipe\\")) return false;
  name = path.substr(slash + 1 + 5);
  return true;
}

bool IsPossibleSocketName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

// mkdir -p for the user's temporary path itself (it may not exist yet, as with a
// fresh $HOME/.cache); new folders get mode 0700.
bool MakeFolderChain(const std::string& nativePath) {
  std::string partial;
  size_t start = 0;
  while (start <= nativePath.size()) {
    size_t slash = nativePath.find('/', start);
    if (slash == std::string::npos) slash = nativePath.size();
    partial = nativePath.substr(0, slash);
    if (!partial.empty() && ::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return false;
    start = slash + 1;
  }
  return true;
}

// True when the folder exists, is no link, belongs to this user and only this
// user may write to it: the check EnsurePrivateFolder makes, without creating.
bool IsPrivateFolder(const std::string& nativePath) {
  struct stat st;
  return ::lstat(nativePath.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
         (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The private socket folder as 8-bit text with a trailing '/'; false + LastError
// and a reason when it cannot be made or must not be used.
bool PipeFolder(std::string& folder, std::string& reason) {
  std::string temp = GetTempPath();
  if (temp.empty()) {
    SetLastError(kErrorPathNotFound);
    reason = Ansi(u8"Es gibt keinen temporären Ordner.");
    return false;
  }
  if (temp.back() != '/') temp += '/';
  std::string wbTemp = temp + SuiteTempFolderName(temp);
  std::string pipes = wbTemp + "/" + kPipesSegment;
  folder = pipes + "/";
  // Every connect passes here: the usual case costs two lstat calls.
  if (IsPrivateFolder(NativePath(wbTemp)) && IsPrivateFolder(NativePath(pipes))) return true;

  if (!MakeFolderChain(NativePath(temp.substr(0, temp.size() - 1)))) {
    SetLastErrorForPath(errno, NativePath(temp));
    reason = FormatMessageText("Der Ordner %s kann nicht erstellt werden.", temp);
    return false;
  }
  for (const std::string& dir : {wbTemp, pipes}) {
    SetLastError(kErrorSuccess);  // only a failed mkdir sets a code of its own
    if (!EnsurePrivateFolder(dir, reason)) {
      if (LastError() == kErrorSuccess) SetLastError(kErrorAccessDenied);
      return false;
    }
  }
  return true;
}

// The socket address of a pipe path; false + LastError when it cannot exist here.
bool SocketAddress(const std::string& pipePath, sockaddr_un& address, std::string& reason) {
  std::string computer, name;
  if (!SplitPipePath(pipePath, computer, name)) {
    SetLastError(kErrorInvalidName);
    reason = FormatMessageText(Ansi(u8"%s ist kein gültiger Pipe-Name."), pipePath);
    return false;
  }
  if (computer != ".") {
    // Pipes of other computers have no POSIX counterpart.
    SetLastError(kErrorBadNetPath);
    reason = FormatMessageText("Die Pipe %s liegt auf einem anderen Rechner.", pipePath);
    return false;
  }
  if (!IsPossibleSocketName(name)) {
    SetLastError(kErrorFileNotFound);
    reason = FormatMessageText(Ansi(u8"%s ist kein gültiger Pipe-Name."), pipePath);
    return false;
  }
  std::string folder;
  if (!PipeFolder(folder, reason)) return false;
  std::string native = NativePath(folder + name);
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  if (native.size() >= sizeof address.sun_path) {
    SetLastError(kErrorFilenameExcedRange);
    reason = FormatMessageText("Der Pfad der Pipe %s ist zu lang.", native);
    return false;
  }
  std::memcpy(address.sun_path, native.c_str(), native.size() + 1);
  return true;
}

// Milliseconds left of a wait that started at start; kPipeWaitForever stays so.
int RemainingMs(int timeoutMs, std::chrono::steady_clock::time_point start) {
  if (timeoutMs < 0) return -1;
  auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  return static_cast<int>(std::max<int64_t>(0, timeoutMs - spent.count()));
}

// poll() for one event, restarted after signals. 1 ready, 0 time-out, -1 failure.
int WaitFor(int fd, short events, int timeoutMs) {
  auto start = std::chrono::steady_clock::now();
  for (;;) {
    pollfd entry{fd, events, 0};
    int ready = ::poll(&entry, 1, RemainingMs(timeoutMs, start));
    if (ready >= 0) return ready;
    if (errno != EINTR) {
      SetLastError(ErrnoToWindowsError(errno));
      return -1;
    }
  }
}

class PosixPipeHandle final : public PipeHandle {
 public:
  explicit PosixPipeHandle(int fd) : fd_(fd) {}
  ~PosixPipeHandle() override { ::close(fd_); }
  PosixPipeHandle(const PosixPipeHandle&) = delete;
  PosixPipeHandle& operator=(const PosixPipeHandle&) = delete;

  int64_t Read(void* buffer, int64_t count, int timeoutMs) override {
    if (count <= 0) return 0;
    for (;;) {
      ssize_t got = ::recv(fd_, buffer, static_cast<size_t>(count), 0);
      if (got > 0) return got;
      if (got == 0) {
        SetLastError(kErrorBrokenPipe);
        return -1;
      }
      if (errno == EINTR) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) {
        SetLastError(errno == ECONNRESET ? kErrorBrokenPipe : ErrnoToWindowsError(errno));
        return -1;
      }
      int ready = WaitFor(fd_, POLLIN, timeoutMs);
      if (ready < 0) return -1;
      if (ready == 0) {
        SetLastError(kErrorWaitTimeout);
        return -1;
      }
    }
  }

  bool Write(const void* buffer, int64_t count, int timeoutMs) override {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    int64_t done = 0;
    while (done < count) {
      ssize_t put = ::send(fd_, bytes + done, static_cast<size_t>(count - done), MSG_NOSIGNAL);
      if (put > 0) {
        done += put;
        continue;
      }
      if (put < 0 && errno == EINTR) continue;
      if (put < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
        SetLastError(errno == EPIPE || errno == ECONNRESET ? kErrorNoData : ErrnoToWindowsError(errno));
        return false;
      }
      int ready = WaitFor(fd_, POLLOUT, timeoutMs);
      if (ready < 0) return false;
      if (ready == 0) {
        SetLastError(kErrorWaitTimeout);
        return false;
      }
    }
    return true;
  }

  int64_t BytesAvailable() override {
    int pending = 0;
    if (::ioctl(fd_, FIONREAD, &pending) != 0) {
      SetLastError(ErrnoToWindowsError(errno));
      return -1;
    }
    return pending;
  }

 private:
  int fd_;
};

int NewSocket() {
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) SetLastError(ErrnoToWindowsError(errno));
  return fd;
}

// A non-blocking connect: a Unix-domain socket connects at once or reports why not.
// Returns the connected socket, or -1 with LastError in the pipe's terms.
int ConnectTo(const sockaddr_un& address) {
  int fd = NewSocket();
  if (fd < 0) return -1;
  int result;
  do {
    result = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  } while (result != 0 && errno == EINTR);
  if (result == 0) return fd;
  int error = errno;
  ::close(fd);
  switch (error) {
    case ENOENT:
    case ECONNREFUSED:  // a socket file left behind by a server that has gone
      SetLastError(kErrorFileNotFound);
      break;
    case EAGAIN:  // the listen queue is full: every instance is busy
      SetLastError(kErrorPipeBusy);
      break;
    default: SetLastError(ErrnoToWindowsError(error));
  }
  return -1;
}

class PosixPipeListener final : public PipeListener {
 public:
  PosixPipeListener(int fd, std::string path, ino_t inode) : fd_(fd), path_(std::move(path)), inode_(inode) {}
  ~PosixPipeListener() override {
    ::close(fd_);
    // Remove the socket only while it is still ours: a successor may have taken the name.
    struct stat st;
    if (::lstat(path_.c_str(), &st) == 0 && st.st_ino == inode_) ::unlink(path_.c_str());
  }
  PosixPipeListener(const PosixPipeListener&) = delete;
  PosixPipeListener& operator=(const PosixPipeListener&) = delete;

  std::unique_ptr<PipeHandle> Accept(int timeoutMs) override {
    auto start = std::chrono::steady_clock::now();
    for (;;) {
      int fd = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd >= 0) return std::make_unique<PosixPipeHandle>(fd);
      if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR && errno != ECONNABORTED) {
        SetLastError(ErrnoToWindowsError(errno));
        return nullptr;
      }
      int ready = WaitFor(fd_, POLLIN, RemainingMs(timeoutMs, start));
      if (ready < 0) return nullptr;
      if (ready == 0) {
        SetLastError(kErrorWaitTimeout);
        return nullptr;
      }
    }
  }

 private:
  int fd_;
  std::string path_;
  ino_t inode_;
};

}  // namespace

std::string LocalPipePath(const std::string& name) { return "\\\\.\\pipe\\" + name; }

std::unique_ptr<PipeHandle> OpenPipe(const std::string& pipePath) {
  sockaddr_un address;
  std::string reason;
  if (!SocketAddress(pipePath, address, reason)) return nullptr;
  int fd = ConnectTo(address);
  if (fd < 0) return nullptr;
  return std::make_unique<PosixPipeHandle>(fd);
}

bool WaitNamedPipe(const std::string& pipePath, uint32_t timeoutMs) {
  sockaddr_un address;
  std::string reason;
  if (!SocketAddress(pipePath, address, reason)) return false;
  auto start = std::chrono::steady_clock::now();
  for (;;) {
    struct stat st;
    if (::stat(address.sun_path, &st) != 0 || !S_ISSOCK(st.st_mode)) {
      SetLastError(kErrorFileNotFound);
      return false;
    }
    // A socket cannot tell whether it would take a client without being asked: a
    // probe that connects finds a free instance (the server sees a client that
    // leaves without a word); a refused probe means the server has gone.
    int probe = ConnectTo(address);
    if (probe >= 0) {
      ::close(probe);
      return true;
    }
    if (LastError() != kErrorPipeBusy) return false;
    int left = RemainingMs(static_cast<int>(std::min<uint32_t>(timeoutMs, INT32_MAX)), start);
    if (left <= 0) {
      SetLastError(kErrorWaitTimeout);
      return false;
    }
    std::this_thread::sleep_for(std::min<std::chrono::milliseconds>(kBusyRetryPause, std::chrono::milliseconds(left)));
  }
}

std::unique_ptr<PipeListener> CreatePipeListener(const std::string& pipePath, std::string& reason) {
  sockaddr_un address;
  if (!SocketAddress(pipePath, address, reason)) return nullptr;

  struct stat st;
  if (::lstat(address.sun_path, &st) == 0) {
    if (!S_ISSOCK(st.st_mode)) {
      reason = FormatMessageText("%s ist keine Pipe und wird nicht ersetzt.", address.sun_path);
      return nullptr;
    }
    int probe = ConnectTo(address);
    if (probe >= 0 || LastError() == kErrorPipeBusy) {
      if (probe >= 0) ::close(probe);
      reason = FormatMessageText("Die Pipe %s wird schon von einem laufenden Server bedient.", pipePath);
      return nullptr;
    }
    ::unlink(address.sun_path);  // left behind by a server that has gone
  }

  int fd = NewSocket();
  if (fd < 0) {
    reason = SystemErrorMessage(LastError());
    return nullptr;
  }
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd, kListenBacklog) != 0 || ::lstat(address.sun_path, &st) != 0) {
    SetLastError(ErrnoToWindowsError(errno));
    reason = FormatMessageText("Die Pipe %s kann nicht angelegt werden: ", pipePath) + SystemErrorMessage(LastError());
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PosixPipeListener>(fd, address.sun_path, st.st_ino);
}

}  // namespace wb::platform
