// Test support: wbk-localserver as a child process of the test, started from the
// build's bin folder (WB_BIN_DIR) inside the test's private TMPDIR, ready once
// it answers SERVERPROCESS with its own process id.
#pragma once

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "client/local_service_list.h"
#include "ipc/server_calls.h"
#include "platform/folders.h"
#include "platform/processes.h"
#include "strings/string_list.h"

namespace wb::test {

inline std::string ServerBinary() {
  const char* dir = std::getenv("WB_BIN_DIR");
  std::string folder = dir && *dir ? std::string(dir) + "/" : platform::GetModuleDir();
  return folder + "wbk-localserver";
}

inline bool ServiceListHas(const std::string& name) {
  TStringList lines;
  ReadLocalServiceList(&lines);
  return lines.IndexOf(name) >= 0;
}

class ServerProcess {
 public:
  // Starts the server with --pipe name and the further arguments; fails the
  // test's expectations (and leaves Running() false) when it does not come up.
  ServerProcess(const std::string& name, std::vector<std::string> arguments) : name_(name) {
    arguments.insert(arguments.begin(), {"--pipe", name});
    process_ = platform::StartProcess(ServerBinary(), arguments);
    if (!process_) return;
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < end) {
      if (AnswersAsItself()) {
        running_ = true;
        return;
      }
      int code = 0;
      if (process_->Wait(0, code)) {
        exitCode_ = code;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~ServerProcess() {
    if (!process_) return;
    int code = 0;
    if (!process_->Wait(0, code)) {
      process_->Terminate();
      if (!process_->Wait(20000, code)) {
        process_->Kill();
        process_->Wait(-1, code);
      }
    }
  }
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  bool Running() const { return running_; }
  uint32_t Id() const { return process_ ? process_->Id() : 0; }
  const std::string& Name() const { return name_; }
  // Asks the server to end (SIGTERM) and returns its exit code, or -1000 when it
  // did not end within the time.
  int Stop(int timeoutMs = 20000) {
    process_->Terminate();
    return WaitForExit(timeoutMs);
  }
  int WaitForExit(int timeoutMs) {
    int code = 0;
    return process_->Wait(timeoutMs, code) ? code : -1000;
  }
  void Kill() {
    process_->Kill();
    int code = 0;
    process_->Wait(-1, code);
  }

 private:
  bool AnswersAsItself() {
    bool ok = false;
    std::string reply;
    QueryServerOnce("SERVERPROCESS", name_, ok, reply, "");
    return ok && reply == name_ + '\x08' + std::to_string(process_->Id());
  }

  std::string name_;
  std::unique_ptr<platform::ChildProcess> process_;
  bool running_ = false;
  int exitCode_ = 0;
};

}  // namespace wb::test
