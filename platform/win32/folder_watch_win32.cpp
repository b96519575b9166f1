// Folder watch on Windows: a change notification on the folder
// (FindFirstChangeNotificationA), waited for by a small thread together with a
// stop event, so that destruction ends it at once.
#include "platform/folder_watch.h"

#include <thread>

#include "platform/win32/win32_util.h"

namespace wb::platform {
namespace {

constexpr DWORD kWatchedChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_SIZE |
                                  FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_ATTRIBUTES;

class ChangeNotificationWatch final : public FolderWatch {
 public:
  ChangeNotificationWatch(HANDLE change, HANDLE stop, std::function<void()> onChange)
      : change_(change), stop_(stop), onChange_(std::move(onChange)) {
    thread_ = std::thread([this] { Run(); });
  }
  ~ChangeNotificationWatch() override {
    ::SetEvent(stop_.get());
    thread_.join();
    ::FindCloseChangeNotification(change_);
  }
  ChangeNotificationWatch(const ChangeNotificationWatch&) = delete;
  ChangeNotificationWatch& operator=(const ChangeNotificationWatch&) = delete;

 private:
  void Run() {
    const HANDLE handles[2] = {stop_.get(), change_};
    for (;;) {
      DWORD signalled = ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
      if (signalled != WAIT_OBJECT_0 + 1) return;  // stopped, or the watch broke
      // Which change it was does not matter: the waiter looks at the file again.
      onChange_();
      if (!::FindNextChangeNotification(change_)) return;
    }
  }

  HANDLE change_;
  UniqueHandle stop_;
  std::function<void()> onChange_;
  std::thread thread_;
};

}  // namespace

std::unique_ptr<FolderWatch> FolderWatch::Start(const std::string& folder, std::function<void()> onChange) {
  if (folder.empty() || folder.find('\0') != std::string::npos) return nullptr;
  HANDLE change = ::FindFirstChangeNotificationA(folder.c_str(), FALSE, kWatchedChanges);
  if (change == INVALID_HANDLE_VALUE) return nullptr;
  HANDLE stop = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!stop) {
    ::FindCloseChangeNotification(change);
    return nullptr;
  }
  return std::make_unique<ChangeNotificationWatch>(change, stop, std::move(onChange));
}

}  // namespace wb::platform
