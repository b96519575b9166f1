// Waiting for the server's spool file while the window stays responsive.
#pragma once

#include <functional>
#include <string>

namespace wb {

inline constexpr int kPdfWaitMs = 10000;
inline constexpr int kAfterFilePauseMs = 200;

// How a wait for a file ended.
enum class FileWait {
  Appeared,  // the file is there (and the 200 ms pause is over)
  TimedOut,  // the time was up without it
  Quitting,  // the application was asked to end: nobody waits for the file any more
};

// Waits up to timeoutMs for the file, handling window events meanwhile; when it
// appears, pauses 200 ms with window events handled. The wait sleeps on a watch
// of the file's folder and a timer instead of polling. It also ends as
// Quitting as soon as abandoned() says so after an event (the window was
// closed); a caller that sets that state wakes the wait (UiHooks::WakeUp).
FileWait AwaitFile(const std::string& path, int timeoutMs, const std::function<bool()>& abandoned = {});

// True when the file appeared within timeoutMs.
bool WaitForFile(const std::string& path, int timeoutMs);

}  // namespace wb
