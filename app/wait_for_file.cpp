// WaitForFile: woken by a folder watch, bounded by a timer, handling window
// events meanwhile; a folder that cannot be watched is looked at every 50 ms.
#include "app/wait_for_file.h"

#include <algorithm>
#include <cstdint>

#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "platform/clock.h"
#include "platform/folder_watch.h"
#include "platform/ui_hooks.h"
#include "strings/strutils.h"

namespace wb {
namespace {
// With a watch a change wakes the wait; this only bounds a missed wake-up.
constexpr int kWatchedRecheckMs = 250;
constexpr int kUnwatchedRecheckMs = 50;
}  // namespace

FileWait AwaitFile(const std::string& path, int timeoutMs, const std::function<bool()>& abandoned) {
  platform::Clock& clock = platform::GetClock();
  const int64_t start = clock.NowMs();
  auto watch = platform::FolderWatch::Start(ExtractFilePath(path), [] { platform::GetUiHooks().WakeUp(); });
  const int recheckMs = watch ? kWatchedRecheckMs : kUnwatchedRecheckMs;
  for (;;) {
    if (FileExistsEx(path)) {
      watch.reset();
      WaitProcessingMessages(kAfterFilePauseMs);
      return FileWait::Appeared;
    }
    const int64_t elapsed = clock.NowMs() - start;
    if (elapsed >= timeoutMs) return FileWait::TimedOut;
    const int remaining = static_cast<int>(timeoutMs - elapsed);
    if (!platform::GetUiHooks().PumpMessages(static_cast<unsigned>(std::min(remaining, recheckMs))) ||
        (abandoned && abandoned()))
      return FileWait::Quitting;
  }
}

bool WaitForFile(const std::string& path, int timeoutMs) { return AwaitFile(path, timeoutMs) == FileWait::Appeared; }

}  // namespace wb
