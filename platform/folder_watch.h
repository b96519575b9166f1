// Tells when something changes in a folder, so that waiting for a file to
// appear does not have to poll (inotify on POSIX, change notifications on Windows).
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace wb::platform {

class FolderWatch {
 public:
  virtual ~FolderWatch() = default;
  // Starts watching the folder; onChange runs on the watcher's own thread after
  // each change (a file created, moved in, written or removed). nullptr when the
  // folder cannot be watched: the caller then falls back to a timer.
  static std::unique_ptr<FolderWatch> Start(const std::string& folder, std::function<void()> onChange);
};

}  // namespace wb::platform
