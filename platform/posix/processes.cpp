// Processes on POSIX: getpid/getppid, posix_spawnp for children, and stop signals
// caught into an atomic flag that the program polls. A child's end is waited
// for on a process file descriptor where the kernel has them, so the waiter
// wakes the moment the child ends instead of on its next polling tick.
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <thread>

#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/posix/posix_util.h"
#include "platform/processes.h"

extern char** environ;

namespace wb::platform {
namespace {

std::atomic<bool> gStopRequested{false};

extern "C" void OnStopSignal(int) { gStopRequested.store(true); }

// A descriptor that becomes readable when the process ends; -1 where the
// kernel has none (the waiter then polls).
int OpenProcessDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
  return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
  (void)pid;
  return -1;
#endif
}

class PosixChildProcess final : public ChildProcess {
 public:
  explicit PosixChildProcess(pid_t pid) : pid_(pid), endSignal_(OpenProcessDescriptor(pid)) {}
  ~PosixChildProcess() override {
    if (endSignal_ >= 0) ::close(endSignal_);
  }
  PosixChildProcess(const PosixChildProcess&) = delete;
  PosixChildProcess& operator=(const PosixChildProcess&) = delete;

  uint32_t Id() const override { return static_cast<uint32_t>(pid_); }

  bool Wait(int timeoutMs, int& exitCode) override {
    if (ended_) {
      exitCode = exitCode_;
      return true;
    }
    auto start = std::chrono::steady_clock::now();
    for (;;) {
      int status = 0;
      pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        ended_ = true;
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        exitCode = exitCode_;
        return true;
      }
      if (done < 0 && errno != EINTR) {
        // Reaped elsewhere or not our child: it is gone either way.
        ended_ = true;
        exitCode = exitCode_ = -1;
        return true;
      }
      const auto spent =
          std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
      if (timeoutMs >= 0 && spent.count() >= timeoutMs) return false;
      const int left = timeoutMs >= 0 ? timeoutMs - static_cast<int>(spent.count()) : -1;
      if (endSignal_ >= 0) {
        pollfd ended{endSignal_, POLLIN, 0};
        ::poll(&ended, 1, left);
      } else {
        // Short ticks first: most children waited for end soon.
        const int tick = std::min(pollTickMs_, left >= 0 ? std::max(left, 1) : pollTickMs_);
        std::this_thread::sleep_for(std::chrono::milliseconds(tick));
        pollTickMs_ = std::min(pollTickMs_ * 2, 10);
      }
    }
  }

  void Terminate() override {
    if (!ended_) ::kill(pid_, SIGTERM);
  }

  void Kill() override {
    if (!ended_) ::kill(pid_, SIGKILL);
  }

 private:
  pid_t pid_;
  int endSignal_;
  int pollTickMs_ = 1;
  bool ended_ = false;
  int exitCode_ = 0;
};

}  // namespace

uint32_t GetCurrentProcessId() { return static_cast<uint32_t>(::getpid()); }

uint32_t GetParentProcessId() { return static_cast<uint32_t>(::getppid()); }

std::unique_ptr<ChildProcess> StartProcess(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<std::string> native;
  native.push_back(NativePath(program));
  for (const auto& argument : arguments) native.push_back(NativePath(argument));
  std::vector<char*> argv;
  for (auto& text : native) argv.push_back(text.data());
  argv.push_back(nullptr);

  // Caught signals fall back to their defaults by themselves; the ignored SIGPIPE
  // would not, and a blocked mask would be inherited too.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults, empty;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigemptyset(&empty);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &empty);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  pid_t pid = 0;
  int error = ::posix_spawnp(&pid, native[0].c_str(), nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (error != 0) {
    SetLastError(ErrnoToWindowsError(error));
    return nullptr;
  }
  return std::make_unique<PosixChildProcess>(pid);
}

void InstallStopRequestHandler() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
  // A client that vanishes mid-reply must cost a write error, not the process.
  ::signal(SIGPIPE, SIG_IGN);
}

bool StopRequested() { return gStopRequested.load(); }

void RequestStop() { gStopRequested.store(true); }

}  // namespace wb::platform

namespace wb::platform {

namespace {

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::optional<std::string> FindProgramOnPath(const std::string& nativeName) {
  if (nativeName.empty()) return std::nullopt;
  auto absolute = [](const std::string& path) { return std::filesystem::absolute(path).lexically_normal().string(); };
  if (nativeName.find('/') != std::string::npos) {
    if (!IsExecutableFile(nativeName)) return std::nullopt;
    return absolute(nativeName);
  }
  const char* path = std::getenv("PATH");
  std::string_view folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
  for (;;) {
    const size_t colon = folders.find(':');
    const std::string folder(folders.substr(0, colon));
    const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + nativeName;
    if (IsExecutableFile(candidate)) return absolute(candidate);
    if (colon == std::string_view::npos) return std::nullopt;
    folders.remove_prefix(colon + 1);
  }
}

bool ProgramExists(const std::string& program) { return FindProgramOnPath(AnsiToUtf8(program)).has_value(); }

}  // namespace wb::platform
