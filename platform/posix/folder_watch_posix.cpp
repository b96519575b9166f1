// Folder watch on Linux: inotify on the folder, read by a small thread that
// also listens on a pipe so that destruction ends it at once.
#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "platform/folder_watch.h"
#include "platform/posix/posix_util.h"

namespace wb::platform {
namespace {

class InotifyWatch final : public FolderWatch {
 public:
  InotifyWatch(int inotifyFd, int stopRead, int stopWrite, std::function<void()> onChange)
      : inotifyFd_(inotifyFd), stopRead_(stopRead), stopWrite_(stopWrite), onChange_(std::move(onChange)) {
    thread_ = std::thread([this] { Run(); });
  }
  ~InotifyWatch() override {
    char byte = 1;
    (void)!::write(stopWrite_, &byte, 1);
    thread_.join();
    ::close(inotifyFd_);
    ::close(stopRead_);
    ::close(stopWrite_);
  }

 private:
  void Run() {
    alignas(inotify_event) char buffer[4096];
    for (;;) {
      pollfd fds[2] = {{inotifyFd_, POLLIN, 0}, {stopRead_, POLLIN, 0}};
      if (::poll(fds, 2, -1) < 0) continue;
      if (fds[1].revents) return;
      if (fds[0].revents & POLLIN) {
        // The events themselves do not matter: the waiter looks at the file again.
        while (::read(inotifyFd_, buffer, sizeof buffer) > 0) {
        }
        onChange_();
      }
    }
  }

  int inotifyFd_, stopRead_, stopWrite_;
  std::function<void()> onChange_;
  std::thread thread_;
};

}  // namespace

std::unique_ptr<FolderWatch> FolderWatch::Start(const std::string& folder, std::function<void()> onChange) {
  int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) return nullptr;
  std::string native = NativePath(folder);
  if (::inotify_add_watch(fd, native.c_str(), IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE | IN_ATTRIB | IN_DELETE) < 0) {
    ::close(fd);
    return nullptr;
  }
  int stop[2];
  if (::pipe2(stop, O_CLOEXEC) != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<InotifyWatch>(fd, stop[0], stop[1], std::move(onChange));
}

}  // namespace wb::platform
