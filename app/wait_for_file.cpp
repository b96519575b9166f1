// WaitForFile: woken by a folder watch, bounded by a timer, handling window
// events meanwhile; a folder that cannot be watched is looked at every 50 ms.
#include "app/wait_for_file.h"

#include <algorithm>
#include <chrono>

#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "json/strutils.h"
#include "platform/folder_watch.h"
#include "platform/ui_hooks.h"

namespace wb {
namespace {
// With a watch a change wakes the wait; this only bounds a missed wake-up.
constexpr int kWatchedRecheckMs = 250;
constexpr int kUnwatchedRecheckMs = 50;
}  // namespace

bool WaitForFile(const std::string& path, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  auto watch = platform::FolderWatch::Start(ExtractFilePath(path), [] { platform::GetUiHooks().WakeUp(); });
  const int recheckMs = watch ? kWatchedRecheckMs : kUnwatchedRecheckMs;
  for (;;) {
    if (FileExistsEx(path)) {
      watch.reset();
      WaitProcessingMessages(kAfterFilePauseMs);
      return true;
    }
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    if (elapsed >= timeoutMs) return false;
    int remaining = static_cast<int>(timeoutMs - elapsed);
    // The application is quitting: nobody waits for the file any more.
    if (!platform::GetUiHooks().PumpMessages(static_cast<unsigned>(std::min(remaining, recheckMs)))) return false;
  }
}

}  // namespace wb
