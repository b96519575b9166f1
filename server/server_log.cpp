// The log lines go to stderr as UTF-8 under one lock.
#include "server/server_log.h"

#include <atomic>
#include <cstdio>
#include <mutex>

#include "platform/codepage.h"

namespace wb::server {

namespace {
std::atomic<bool> gVerbose{false};
std::mutex gLogLock;
}  // namespace

void SetVerboseLog(bool verbose) { gVerbose.store(verbose); }
bool VerboseLog() { return gVerbose.load(); }

void LogLine(const std::string& text) {
  std::string line = "wbk-localserver: " + platform::AnsiToUtf8(text) + "\n";
  std::lock_guard<std::mutex> lock(gLogLock);
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

void LogVerbose(const std::string& text) {
  if (VerboseLog()) LogLine(text);
}

}  // namespace wb::server
