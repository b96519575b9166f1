// Server exchange speed. Round trip: ReadIPCValueSync("DBPATH") against a running
// wbk-localserver (connect, exchange, end marker, close) and, in the same run,
// the floor: a bare C client that connects a plain Unix socket, sends the same
// 101 request bytes, reads the reply and closes. Throughput: a 64 MiB reply read
// by TIPCClient and by a bare socket read into a ready buffer, both from a
// server thread that sends a prepared frame; and the same reply produced by
// wbk-localserver (PRINTERS from a file), which adds the server's own work.
#include <benchmark/benchmark.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "ipc/ipc_client.h"
#include "ipc/message_data.h"
#include "ipc/server_calls.h"
#include "ipc/wire_format.h"
#include "platform/folders.h"
#include "platform/pipes.h"
#include "platform/processes.h"
#include "tests/support/temp_env.h"

namespace {

constexpr int64_t kBigReply = int64_t{64} << 20;

// The 101 bytes of the DBPATH request as QueryServerOnce sends them.
std::string DbpathRequestBytes() {
  wb::IMessageDataPtr request = wb::CreateMessageData();
  request->GetData().WriteString(u"COMMAND", u"DBPATH");
  request->GetData().WriteInteger(u"INDEX", -1);
  request->GetData().WriteBoolean(u"SYNC", true);
  wb::TMemoryStream& stream = request->GetData().Stream();
  std::string bytes(16, '\0');
  wb::ipc::PutInt64LE(reinterpret_cast<uint8_t*>(bytes.data() + 8), stream.Size());
  bytes.append(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
  return bytes;
}

std::string SocketPath(const std::string& name) { return wb::GetClientTempDir("pipes") + name; }

// The environment every benchmark shares: a private TMPDIR and a running server.
struct Stage {
  wb::test::TempEnv env;
  std::string database = env.Dir("db");
  std::unique_ptr<wb::platform::ChildProcess> server;
  std::unique_ptr<wb::platform::ChildProcess> bigServer;

  static std::unique_ptr<wb::platform::ChildProcess> Start(const std::string& name, std::vector<std::string> args) {
    args.insert(args.begin(), {"--pipe", name, "--no-cups"});
    auto process = wb::platform::StartProcess(wb::platform::GetModuleDir() + "wbk-localserver", args);
    for (int i = 0; process && i < 2000; ++i) {
      bool ok = false;
      std::string reply;
      wb::QueryServerOnce("SERVERPROCESS", name, ok, reply, "");
      if (ok) return process;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::fprintf(stderr, "wbk-localserver did not start\n");
    std::exit(1);
  }

  Stage() {
    server = Start("BENCH", {"--database", database});
    std::string printers = env.Dir("data") + "printers.json";
    wb::SaveTextAtomically(std::string(static_cast<size_t>(kBigReply / 2), 'x'), printers);
    bigServer = Start("BENCH-BIG", {"--printers", printers});
  }
  ~Stage() {
    for (auto* process : {server.get(), bigServer.get()}) {
      int code = 0;
      process->Terminate();
      process->Wait(10000, code);
    }
  }
};

Stage& TheStage() {
  static Stage stage;
  return stage;
}

void BM_RoundTrip_ReadIPCValueSync(benchmark::State& state) {
  TheStage();
  wb::SetCurrentServerName("BENCH");
  std::string value;
  for (auto _ : state) {
    wb::ReadIPCValueSync("DBPATH", false, "", value);
    if (value.empty()) state.SkipWithError("no reply");
  }
}
BENCHMARK(BM_RoundTrip_ReadIPCValueSync)->UseRealTime();

// The floor: nothing but the system calls a request needs.
void BM_RoundTrip_BareSocketFloor(benchmark::State& state) {
  TheStage();
  const std::string request = DbpathRequestBytes();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::string path = SocketPath("BENCH");
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  std::vector<char> reply(4096);
  for (auto _ : state) {
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) state.SkipWithError("connect");
    if (write(fd, request.data(), request.size()) != static_cast<ssize_t>(request.size())) state.SkipWithError("write");
    size_t got = 0, want = 16;
    while (got < want) {
      ssize_t n = read(fd, reply.data() + got, reply.size() - got);
      if (n <= 0) break;
      got += static_cast<size_t>(n);
      if (got >= 16) want = 16 + static_cast<size_t>(wb::ipc::GetInt64LE(reinterpret_cast<uint8_t*>(reply.data() + 8)));
    }
    close(fd);
    if (got != want) state.SkipWithError("short reply");
  }
}
BENCHMARK(BM_RoundTrip_BareSocketFloor)->UseRealTime();

// A server thread that answers every connection with one prepared frame.
class FrameServer {
 public:
  explicit FrameServer(const std::string& name) {
    wb::IMessageDataPtr reply = wb::CreateMessageData();
    reply->GetData().WriteString(u"DATA", std::u16string(static_cast<size_t>((kBigReply - 20) / 2), u'x'));
    wb::TMemoryStream& stream = reply->GetData().Stream();
    frame_.assign(16, '\0');
    wb::ipc::PutInt64LE(reinterpret_cast<uint8_t*>(frame_.data() + 8), stream.Size());
    frame_.append(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
    std::string reason;
    listener_ = wb::platform::CreatePipeListener(wb::platform::LocalPipePath(name), reason);
    thread_ = std::thread([this] { Serve(); });
  }
  ~FrameServer() {
    stop_ = true;
    thread_.join();
  }
  int64_t BlockSize() const { return static_cast<int64_t>(frame_.size()) - 16; }

 private:
  void Serve() {
    std::vector<char> request(4096);
    while (!stop_) {
      auto pipe = listener_->Accept(50);
      if (!pipe) continue;
      pipe->Read(request.data(), static_cast<int64_t>(request.size()), 5000);
      pipe->Write(frame_.data(), static_cast<int64_t>(frame_.size()), 5000);
      while (pipe->Read(request.data(), static_cast<int64_t>(request.size()), 5000) > 0) {
      }
    }
  }

  std::string frame_;
  std::unique_ptr<wb::platform::PipeListener> listener_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

void BM_Reply64MiB_TIPCClient(benchmark::State& state) {
  TheStage();
  FrameServer server("BENCH-FRAME");
  wb::IMessageDataPtr request = wb::CreateMessageData();
  request->GetData().WriteString(u"COMMAND", u"BIG");
  for (auto _ : state) {
    wb::TIPCClient client;
    client.SetServerName("BENCH-FRAME");
    wb::IMessageDataPtr reply;
    client.ConnectAndExchange(request, 5000, reply);
    if (!client.ReplyComplete()) state.SkipWithError(client.ErrorText().c_str());
  }
  state.SetBytesProcessed(state.iterations() * server.BlockSize());
}
BENCHMARK(BM_Reply64MiB_TIPCClient)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_Reply64MiB_BareSocketFloor(benchmark::State& state) {
  TheStage();
  FrameServer server("BENCH-FRAME");
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::string path = SocketPath("BENCH-FRAME");
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  std::vector<char> buffer(static_cast<size_t>(kBigReply + 64));
  const std::string request = DbpathRequestBytes();
  for (auto _ : state) {
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) state.SkipWithError("connect");
    if (write(fd, request.data(), request.size()) != static_cast<ssize_t>(request.size())) state.SkipWithError("write");
    size_t got = 0;
    for (;;) {
      ssize_t n = read(fd, buffer.data() + got, std::min<size_t>(65536, buffer.size() - got));
      if (n <= 0) break;
      got += static_cast<size_t>(n);
      if (got == static_cast<size_t>(server.BlockSize()) + 16) break;
    }
    close(fd);
  }
  state.SetBytesProcessed(state.iterations() * server.BlockSize());
}
BENCHMARK(BM_Reply64MiB_BareSocketFloor)->UseRealTime()->Unit(benchmark::kMillisecond);

// The floor again, but into fresh memory for every reply, as a reply message
// gets it: the cost of first touching 64 MiB is the system's, not the protocol's.
void BM_Reply64MiB_BareSocketFreshBuffer(benchmark::State& state) {
  TheStage();
  FrameServer server("BENCH-FRAME");
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::string path = SocketPath("BENCH-FRAME");
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const std::string request = DbpathRequestBytes();
  const size_t total = static_cast<size_t>(server.BlockSize()) + 16;
  for (auto _ : state) {
    auto buffer = std::make_unique_for_overwrite<char[]>(total);
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) state.SkipWithError("connect");
    if (write(fd, request.data(), request.size()) != static_cast<ssize_t>(request.size())) state.SkipWithError("write");
    size_t got = 0;
    while (got < total) {
      ssize_t n = read(fd, buffer.get() + got, std::min<size_t>(65536, total - got));
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    close(fd);
    benchmark::DoNotOptimize(buffer.get());
  }
  state.SetBytesProcessed(state.iterations() * server.BlockSize());
}
BENCHMARK(BM_Reply64MiB_BareSocketFreshBuffer)->UseRealTime()->Unit(benchmark::kMillisecond);

// The same size of reply as wbk-localserver makes it: it reads a 32 MiB file and
// sends it as 64 MiB of UTF-16.
void BM_Reply64MiB_LocalServerPrinters(benchmark::State& state) {
  TheStage();
  wb::IMessageDataPtr request = wb::CreateMessageData();
  request->GetData().WriteString(u"COMMAND", u"PRINTERS");
  int64_t bytes = 0;
  for (auto _ : state) {
    wb::TIPCClient client;
    client.SetServerName("BENCH-BIG");
    wb::IMessageDataPtr reply;
    client.ConnectAndExchange(request, 5000, reply);
    if (!client.ReplyComplete()) state.SkipWithError(client.ErrorText().c_str());
    bytes += reply->GetData().Stream().Size();
  }
  state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_Reply64MiB_LocalServerPrinters)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
