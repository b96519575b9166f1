// Recording stand-ins for the desktop programs the opening unit starts
// (xdg-open, xdg-mime, dbus-send, a viewer). Each is a small script in the test's
// private folder, first on PATH, that reports its process id, the path it was
// started as and its arguments through a FIFO the test reads. Reading the FIFO
// is the synchronisation: a call is awaited as an event, never by sleeping.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_env.h"

namespace wb::test {

// One recorded start of a stand-in.
struct Call {
  int Pid = 0;
  std::string Program;                 // the path it was started as ($0)
  std::vector<std::string> Arguments;  // $1 ...
};

class StandIns {
 public:
  // Only a failing test ever waits this long for a call.
  static constexpr int kCallBoundMs = 10000;

  explicit StandIns(TempEnv& env) : env_(env), bin_(env.Dir("stand-in-bin")), fifo_(env.Root() / "calls.fifo") {
    ::mkfifo(fifo_.c_str(), 0600);
    readEnd_ = ::open(fifo_.c_str(), O_RDONLY | O_NONBLOCK);
    // Our own writer keeps the FIFO from reporting hang-up between two callers.
    keepOpen_ = ::open(fifo_.c_str(), O_WRONLY);
    const char* path = std::getenv("PATH");
    env.Set("PATH", bin_.substr(0, bin_.size() - 1) + ":" + (path ? path : "/usr/bin:/bin"));
    // No desktop file of the machine can answer for the stand-ins.
    env.Set("XDG_DATA_DIRS", env.Dir("no-system-data"));
    Install("xdg-open", "exit 0");
    Install("xdg-mime", "exit 1");  // knows no file type unless a test says so
    Install("dbus-send", "exit 0");
  }
  ~StandIns() {
    for (int pid : hanging_) ::kill(pid, SIGKILL);
    // Gone before the reader closes: a stand-in starting late fails to open the
    // FIFO instead of waiting forever for a reader.
    ::unlink(fifo_.c_str());
    ::close(readEnd_);
    ::close(keepOpen_);
  }
  StandIns(const StandIns&) = delete;
  StandIns& operator=(const StandIns&) = delete;

  // The folder on PATH that holds the stand-ins, with a trailing '/'.
  const std::string& Bin() const { return bin_; }
  std::string PathOf(const std::string& name) const { return bin_ + name; }

  // (Re)writes the stand-in `name` in folder (default: the PATH folder): it
  // records the call, then runs `behaviour` (shell text: its answer and exit).
  std::string Install(const std::string& name, const std::string& behaviour, std::string folder = "") {
    if (folder.empty()) folder = bin_;
    std::filesystem::create_directories(folder);
    const std::string path = folder + (folder.back() == '/' ? "" : "/") + name;
    std::ofstream script(path, std::ios::trunc);
    script << "#!/bin/sh\n"
              "sep=$(printf '\\037')\n"
              "line=\"$$$sep$0\"\n"
              "for a in \"$@\"; do line=\"$line$sep$a\"; done\n"
              "printf '%s\\n' \"$line\" > '"
           << fifo_.string() << "'\n"
           << behaviour << "\n";
    script.close();
    std::filesystem::permissions(path, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                           std::filesystem::perms::group_exec);
    return path;
  }

  // The next recorded call, or nothing when none came within the bound.
  std::optional<Call> NextCall(int boundMs = kCallBoundMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    for (;;) {
      size_t end = pending_.find('\n');
      if (end != std::string::npos) {
        std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        return Parse(line);
      }
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd event{readEnd_, POLLIN, 0};
      if (::poll(&event, 1, static_cast<int>(std::max<long>(left.count(), 0))) <= 0) return std::nullopt;
      char buffer[4096];
      ssize_t got = ::read(readEnd_, buffer, sizeof buffer);
      if (got > 0) pending_.append(buffer, static_cast<size_t>(got));
    }
  }

  // True when no call has been recorded so far (looks without waiting).
  bool NothingRecorded() {
    if (!pending_.empty()) return false;
    pollfd event{readEnd_, POLLIN, 0};
    return ::poll(&event, 1, 0) == 0;
  }

  // A stand-in that keeps running is ended when the test is over.
  void EndLater(int pid) { hanging_.push_back(pid); }

 private:
  static Call Parse(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
      size_t sep = line.find('\037', start);
      fields.push_back(line.substr(start, sep == std::string::npos ? std::string::npos : sep - start));
      if (sep == std::string::npos) break;
      start = sep + 1;
    }
    Call call;
    call.Pid = std::atoi(fields[0].c_str());
    call.Program = fields.size() > 1 ? fields[1] : "";
    call.Arguments.assign(fields.begin() + std::min<std::ptrdiff_t>(2, std::ssize(fields)), fields.end());
    return call;
  }

  TempEnv& env_;
  std::string bin_;
  std::filesystem::path fifo_;
  int readEnd_ = -1;
  int keepOpen_ = -1;
  std::string pending_;
  std::vector<int> hanging_;
};

}  // namespace wb::test
