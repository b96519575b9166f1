// TFileStreamEx: the settings file's own file stream. Opening waits for other
// processes that hold the file: it retries every 10 ms for up to 10 seconds.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "client/streams.h"

namespace wb {

inline constexpr int kIniRetryWindowMs = 10000;
inline constexpr int kIniRetryStepMs = 10;

class TFileStreamEx : public THandleStream {
 public:
  // mode fmCreate (0xFFFF) creates the file (read and write, no sharing, old
  // content discarded); any other mode opens an existing file with that mode.
  // EFCreateError "Datei %s kann nicht erstellt werden" / "... geöffnet werden".
  TFileStreamEx(const std::string& fileName, uint16_t mode);
  const std::string& FileName() const { return fileName_; }

 private:
  std::string fileName_;
};

// Runs attempt until it returns true; after the first failure keeps trying
// every kIniRetryStepMs until more than the retry window has passed. Returns
// whether an attempt succeeded.
bool RetryForIniWindow(const std::function<bool()>& attempt);

// The window tests use instead of 10 seconds; negative restores it.
void SetIniRetryWindowMsForTesting(int milliseconds);
int IniRetryWindowMs();

}  // namespace wb
