// Test support: the suite's server as the test plays it. A Win32 named-pipe
// server on a thread of the test, published in the local-service list of the
// test's temporary folder; it answers from a table, records every request with
// its raw data block, and does what the suite's server does with the output
// commands as far as the tool can see it: the PDF file named by "PDFFileName"
// and then the spool file of the same name in <appdir>\SPOOLER\PDFX\.
#pragma once

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace wb::test {

struct RecordedRequest {
  std::string Command;  // 8-bit
  std::string Data;     // 8-bit
  std::string Block;    // the request's data block, byte for byte
};

class ScriptedServer {
 public:
  // appDir: the APPPATH answer (with its trailing backslash), where spool files go.
  ScriptedServer(const std::string& pipeName, const std::string& databaseDir, const std::string& appDir);
  ~ScriptedServer();
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  bool Running() const { return running_; }
  // The reply's DATA for a command (8-bit); unknown commands get an empty DATA.
  void SetAnswer(const std::string& command, const std::string& value);
  // Every connection is closed after its first request arrived, without a reply.
  void CloseEarly(bool closeEarly) { closeEarly_ = closeEarly; }
  // Only requests of this command are left without a reply ("": none).
  void CloseEarlyOn(const std::string& command);

  std::vector<RecordedRequest> Requests();
  std::vector<std::string> Commands();
  // Waits for the next request of that command after the ones already seen (count of them given).
  bool WaitForCommand(const std::string& command, int count, int timeoutMs);

 private:
  void Run();
  void Serve(void* pipe);
  void Produce(const RecordedRequest& request);

  std::string pipeName_;
  std::string appDir_;
  std::map<std::string, std::string> answers_;
  std::string closeEarlyOn_;
  std::vector<RecordedRequest> requests_;
  std::mutex lock_;
  std::condition_variable arrived_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> closeEarly_{false};
  bool running_ = false;
  std::thread thread_;
  void* listener_ = nullptr;
};

}  // namespace wb::test
