// Waiting for the server's spool file while the window stays responsive.
#pragma once

#include <string>

namespace wb {

inline constexpr int kPdfWaitMs = 10000;
inline constexpr int kAfterFilePauseMs = 200;

// True when the file appeared within timeoutMs (then after a 200 ms pause with
// window events handled), false when the time is up. The wait sleeps on a watch
// of the file's folder and a timer instead of polling.
bool WaitForFile(const std::string& path, int timeoutMs);

}  // namespace wb
