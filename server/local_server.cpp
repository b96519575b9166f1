// The accept loop, one thread per connection, and an orderly end.
#include "server/local_server.h"

#include <chrono>
#include <thread>

#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "server/request_framing.h"
#include "server/server_log.h"
#include "server/service_registration.h"

namespace wb::server {

namespace {

// How often the accept loop and idle connections look at the stop request.
constexpr int kStopCheckMs = 100;
constexpr int kOutputDrainMs = 120000;

// A pipe whose waits end early once the server is stopping, so a silent client
// cannot hold up the server's end.
class TStoppablePipe final : public platform::PipeHandle {
 public:
  TStoppablePipe(platform::PipeHandle& pipe, const std::atomic<bool>& stopping) : pipe_(pipe), stopping_(stopping) {}

  int64_t Read(void* buffer, int64_t count, int timeoutMs) override {
    auto start = std::chrono::steady_clock::now();
    for (;;) {
      int slice = timeoutMs < 0 ? kStopCheckMs : std::min(kStopCheckMs, Remaining(start, timeoutMs));
      int64_t got = pipe_.Read(buffer, count, slice);
      if (got >= 0 || platform::LastError() != platform::kErrorWaitTimeout) return got;
      if (stopping_.load() || (timeoutMs >= 0 && Remaining(start, timeoutMs) == 0)) return -1;
    }
  }

  bool Write(const void* buffer, int64_t count, int timeoutMs) override {
    return pipe_.Write(buffer, count, timeoutMs);
  }

  int64_t BytesAvailable() override { return pipe_.BytesAvailable(); }

 private:
  static int Remaining(std::chrono::steady_clock::time_point start, int timeoutMs) {
    auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    return static_cast<int>(std::max<int64_t>(0, timeoutMs - spent.count()));
  }

  platform::PipeHandle& pipe_;
  const std::atomic<bool>& stopping_;
};

std::string DefaultPipeName() { return "WBK-LOCALSERVER-" + std::to_string(platform::GetCurrentProcessId()); }

}  // namespace

TLocalServer::TLocalServer(TServerOptions options)
    : options_(std::move(options)),
      pipeName_(options_.PipeName.empty() ? DefaultPipeName() : options_.PipeName),
      commands_(options_, pipeName_, outputs_) {}

TLocalServer::~TLocalServer() { Shutdown(); }

bool TLocalServer::Start(std::string& error) {
  listener_ = platform::CreatePipeListener(platform::LocalPipePath(pipeName_), error);
  if (!listener_) return false;
  try {
    PublishServiceName(pipeName_);
    published_ = true;
  } catch (const Exception& failure) {
    error = failure.what();
    listener_.reset();
    return false;
  }
  LogLine("bereit auf " + platform::LocalPipePath(pipeName_) + " (Prozess " +
          std::to_string(platform::GetCurrentProcessId()) + ")");
  if (!options_.LaunchProgram.empty()) {
    child_ = platform::StartProcess(options_.LaunchProgram, options_.LaunchArguments);
    if (!child_) {
      error = FormatMessageText("%s kann nicht gestartet werden: ", options_.LaunchProgram) +
              platform::SystemErrorMessage(platform::LastError());
      Shutdown();
      return false;
    }
  }
  return true;
}

int TLocalServer::Run() {
  int exitCode = 0;
  while (!stopping_.load() && !platform::StopRequested()) {
    if (child_ && child_->Wait(0, exitCode)) {
      LogVerbose(FormatMessageText("%s hat sich beendet.", options_.LaunchProgram));
      break;
    }
    connectionThreads_.JoinEnded();
    std::unique_ptr<platform::PipeHandle> pipe = listener_->Accept(kStopCheckMs);
    if (!pipe) {
      // Out of file handles and the like: give the open connections time to end.
      if (platform::LastError() != platform::kErrorWaitTimeout) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kStopCheckMs));
      }
      continue;
    }
    if (!WaitForConnectionSlot()) break;
    bool started = connectionThreads_.Start([this, connection = std::move(pipe)]() mutable {
      Serve(std::move(connection));
      ConnectionEnded();
    });
    if (!started) {
      LogLine(Ansi(u8"Für eine Verbindung lässt sich kein Thread starten; sie wird geschlossen."));
      ConnectionEnded();
    }
  }
  Shutdown();
  return exitCode;
}

bool TLocalServer::WaitForConnectionSlot() {
  std::unique_lock<std::mutex> guard(connectionsLock_);
  while (connections_ >= kMaxConnections) {
    if (stopping_.load() || platform::StopRequested()) return false;
    connectionsChanged_.wait_for(guard, std::chrono::milliseconds(kStopCheckMs));
  }
  ++connections_;
  return true;
}

void TLocalServer::ConnectionEnded() {
  std::lock_guard<std::mutex> guard(connectionsLock_);
  --connections_;
  connectionsChanged_.notify_all();
}

void TLocalServer::Serve(std::unique_ptr<platform::PipeHandle> pipe) {
  TStoppablePipe connection(*pipe, stopping_);
  TRequestReader reader(connection, kConnectionIdleTimeoutMs);
  for (;;) {
    IMessageDataPtr request;
    FrameStatus status = reader.Next(request);
    if (status == FrameStatus::EndOfInput) return;
    if (status == FrameStatus::Malformed) {
      LogVerbose(Ansi(u8"fehlerhafte oder zu große Anfrage: Verbindung geschlossen"));
      return;
    }
    IMessageDataPtr reply;
    try {
      reply = commands_.Answer(*request);
    } catch (const std::exception& failure) {
      // The client still gets its one reply; it finds no DATA in it.
      LogLine(failure.what());
      reply = CreateMessageData();
    }
    if (!WriteReply(connection, *reply, kConnectionIdleTimeoutMs)) return;
  }
}

void TLocalServer::Shutdown() {
  stopping_.store(true);
  listener_.reset();
  if (published_) {
    published_ = false;
    try {
      WithdrawServiceName(pipeName_);
    } catch (const Exception& failure) {
      LogLine(failure.what());
    }
  }
  // Connection threads use this object: it must not go while one still runs.
  // Idle connections notice the stop within kStopCheckMs; a reply stuck at a
  // client that reads nothing ends with the write time-out.
  connectionThreads_.JoinAll();
  if (!outputs_.WaitIdle(kOutputDrainMs)) LogLine("Ausgaben laufen noch; der Server wartet auf sie.");
}

}  // namespace wb::server
