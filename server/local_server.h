// TLocalServer: wbk-localserver's pipe, its connections and its lifetime. Each
// accepted client is served on a thread of its own (up to kMaxConnections at
// once); a client whose request is malformed or oversized loses its connection
// and nothing else. The server's name is published in the local-service list
// while it runs.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

#include "platform/pipes.h"
#include "platform/processes.h"
#include "server/connection_threads.h"
#include "server/output_queue.h"
#include "server/server_commands.h"
#include "server/server_options.h"

namespace wb::server {

inline constexpr int kMaxConnections = 256;
// A client that sends nothing for this long is dropped, as the client itself
// gives up on a silent server.
inline constexpr int kConnectionIdleTimeoutMs = 60000;

class TLocalServer {
 public:
  explicit TLocalServer(TServerOptions options);
  ~TLocalServer();
  TLocalServer(const TLocalServer&) = delete;
  TLocalServer& operator=(const TLocalServer&) = delete;

  // Creates the pipe, publishes the name and starts the --launch program. False
  // with a German reason.
  bool Start(std::string& error);
  // Serves until a stop signal, Stop() or the end of the launched program; then
  // withdraws the name, lets open connections finish and runs the queued outputs.
  // Returns the exit code: the launched program's, else 0.
  int Run();
  // Thread-safe.
  void Stop() { stopping_.store(true); }

  const std::string& PipeName() const { return pipeName_; }

 private:
  void Serve(std::unique_ptr<platform::PipeHandle> pipe);
  bool WaitForConnectionSlot();
  void ConnectionEnded();
  void Shutdown();

  TServerOptions options_;
  std::string pipeName_;
  std::unique_ptr<platform::PipeListener> listener_;
  std::unique_ptr<platform::ChildProcess> child_;
  bool published_ = false;
  std::atomic<bool> stopping_{false};

  std::mutex connectionsLock_;
  std::condition_variable connectionsChanged_;
  int connections_ = 0;

  TOutputQueue outputs_;
  TServerCommands commands_;
  // Last, so that its threads are gone before anything they use.
  TConnectionThreads connectionThreads_;
};

}  // namespace wb::server
