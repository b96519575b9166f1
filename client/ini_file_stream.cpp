// TFileStreamEx and the settings file's 10-second retry window.
#include "client/ini_file_stream.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/codepage.h"
#include "platform/errors.h"

namespace wb {
namespace {

std::atomic<int> gRetryWindowMs{kIniRetryWindowMs};

}  // namespace

void SetIniRetryWindowMsForTesting(int milliseconds) {
  gRetryWindowMs = milliseconds < 0 ? kIniRetryWindowMs : milliseconds;
}

int IniRetryWindowMs() { return gRetryWindowMs; }

bool RetryForIniWindow(const std::function<bool()>& attempt) {
  if (attempt()) return true;
  // Another process of the suite may hold the file for a moment: wait for it,
  // measured from the first failure.
  const auto firstFailure = std::chrono::steady_clock::now();
  const auto window = std::chrono::milliseconds(IniRetryWindowMs());
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(kIniRetryStepMs));
    if (attempt()) return true;
    if (std::chrono::steady_clock::now() - firstFailure > window) return false;
  }
}

TFileStreamEx::TFileStreamEx(const std::string& fileName, uint16_t mode) : fileName_(fileName) {
  bool opened = RetryForIniWindow([&] {
    handle_ = TFileStream::OpenHandle(fileName, mode);
    return handle_ != nullptr;
  });
  if (!opened) {
    const std::string pattern = mode == fmCreate ? std::string("Datei %s kann nicht erstellt werden")
                                                 : Ansi(u8"Datei %s kann nicht geöffnet werden");
    throw EFCreateError(FormatMessageText(pattern, fileName));
  }
}

}  // namespace wb
