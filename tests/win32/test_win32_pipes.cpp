// Named pipes on Windows: the client's bytes as a CreateNamedPipeA server of the
// test sees them, the listener's instances, and the error codes callers act on.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "ipc/message_data.h"
#include "ipc/server_calls.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/pipes.h"
#include "support/temp_env.h"
#include "tests/ipc/memory_pipe.h"
#include "win32/win32_test_support.h"

namespace wb {
namespace {

using namespace std::chrono_literals;

std::string UniquePipeName(const std::string& stem) {
  return stem + "-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount64());
}

// The DATA reply of the suite's server: ID length 0, the block's size, the block.
std::string DataReply(const std::string& text) {
  IMessageDataPtr message = CreateMessageData();
  message->GetData().WriteString(u"DATA", platform::AnsiToWide(text));
  TMemoryStream& stream = message->GetData().Stream();
  return test::Int64Bytes(0) + test::Int64Bytes(stream.Size()) +
         std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

// A server made with the system's calls alone, the way the suite's server makes
// its pipe: message type, one instance. It reads one request of requestSize
// bytes, answers with reply in two messages (cut inside the size field), and
// records everything the client sends until it closes.
class RawPipeServer {
 public:
  RawPipeServer(const std::string& name, size_t requestSize, std::string reply)
      : requestSize_(requestSize), reply_(std::move(reply)) {
    pipe_ = ::CreateNamedPipeA(platform::LocalPipePath(name).c_str(), PIPE_ACCESS_DUPLEX,
                               PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    thread_ = std::thread([this] { Serve(); });
  }
  ~RawPipeServer() {
    if (thread_.joinable()) thread_.join();
    if (pipe_ != INVALID_HANDLE_VALUE) ::CloseHandle(pipe_);
  }
  bool Created() const { return pipe_ != INVALID_HANDLE_VALUE; }
  // Everything the client sent, once it has closed its end.
  const std::string& Received() {
    if (thread_.joinable()) thread_.join();
    return received_;
  }
  int MoreDataReads() const { return moreDataReads_; }

 private:
  void Serve() {
    if (pipe_ == INVALID_HANDLE_VALUE) return;
    if (!::ConnectNamedPipe(pipe_, nullptr) && ::GetLastError() != ERROR_PIPE_CONNECTED) return;
    bool answered = false;
    char buffer[16];  // smaller than the request's messages: ERROR_MORE_DATA on the way
    for (;;) {
      DWORD got = 0;
      BOOL ok = ::ReadFile(pipe_, buffer, sizeof buffer, &got, nullptr);
      if (!ok && ::GetLastError() == ERROR_MORE_DATA) ++moreDataReads_;
      else if (!ok) break;  // the client closed
      received_.append(buffer, got);
      if (!answered && received_.size() >= requestSize_) {
        answered = true;
        DWORD put = 0;
        ::WriteFile(pipe_, reply_.data(), 12, &put, nullptr);
        ::WriteFile(pipe_, reply_.data() + 12, static_cast<DWORD>(reply_.size() - 12), &put, nullptr);
      }
    }
  }

  HANDLE pipe_ = INVALID_HANDLE_VALUE;
  size_t requestSize_;
  std::string reply_;
  std::string received_;
  int moreDataReads_ = 0;
  std::thread thread_;
};

TEST(Win32Pipes, TheSuitesServerSeesTheDbpathRequestAndTheEndMarker) {
  test::TempEnv env;
  const std::string name = UniquePipeName("WIN32-DBPATH");
  const std::string request = test::HexBytes(
      "00 00 00 00 00 00 00 00"
      "55 00 00 00 00 00 00 00"
      "0E 00 00 00 | 43 00 4F 00 4D 00 4D 00 41 00 4E 00 44 00 | 0C 00 00 00 00 00 00 00 |"
      "44 00 42 00 50 00 41 00 54 00 48 00"
      "0A 00 00 00 | 49 00 4E 00 44 00 45 00 58 00 | 04 00 00 00 00 00 00 00 | FF FF FF FF"
      "08 00 00 00 | 53 00 59 00 4E 00 43 00 | 01 00 00 00 00 00 00 00 | 01");
  ASSERT_EQ(request.size(), 101u);
  RawPipeServer server(name, request.size(), DataReply("C:\\Daten\\Firma 1\\"));
  ASSERT_TRUE(server.Created());

  bool ok = false;
  std::string value;
  QueryServerOnce("DBPATH", name, ok, value, "");
  EXPECT_TRUE(ok);
  EXPECT_EQ(value, "C:\\Daten\\Firma 1\\");
  EXPECT_EQ(server.Received(), request + std::string(8, '\xFF'));
  EXPECT_GT(server.MoreDataReads(), 0);  // the server read the request's messages in parts
}

TEST(Win32Pipes, TheListenerTakesSeveralClientsAtOnce) {
  test::TempEnv env;
  const std::string path = platform::LocalPipePath(UniquePipeName("WIN32-MANY"));
  std::string reason;
  auto listener = platform::CreatePipeListener(path, reason);
  ASSERT_TRUE(listener) << reason;

  // Three clients connect before the server accepts any: none finds every instance busy.
  std::vector<std::unique_ptr<platform::PipeHandle>> clients;
  for (int i = 0; i < 3; ++i) {
    clients.push_back(platform::OpenPipe(path));
    ASSERT_TRUE(clients.back()) << "client " << i << " error " << platform::LastError();
  }
  for (int i = 0; i < 3; ++i) {
    auto server = listener->Accept(2000);
    ASSERT_TRUE(server) << "accept " << i << " error " << platform::LastError();
    const char text[] = "hallo";
    ASSERT_TRUE(server->Write(text, 5, 1000));
  }
  for (auto& client : clients) {
    char buffer[8] = {};
    EXPECT_EQ(client->Read(buffer, sizeof buffer, 1000), 5);
    EXPECT_EQ(std::string(buffer, 5), "hallo");
  }
  // With nobody waiting, the accept ends with the time-out.
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(listener->Accept(150));
  EXPECT_EQ(platform::LastError(), platform::kErrorWaitTimeout);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 120ms);

  // A second server for the same pipe is refused while the first one serves it.
  EXPECT_FALSE(platform::CreatePipeListener(path, reason));
  EXPECT_NE(reason.find("schon von einem laufenden Server"), std::string::npos) << reason;
  listener.reset();
  EXPECT_FALSE(platform::OpenPipe(path));
  EXPECT_EQ(platform::LastError(), platform::kErrorFileNotFound);
}

TEST(Win32Pipes, MissingAndImpossiblePipesAreNoSuchPipe) {
  const std::string missing = platform::LocalPipePath(UniquePipeName("WIN32-NOBODY"));
  EXPECT_FALSE(platform::OpenPipe(missing));
  EXPECT_EQ(platform::LastError(), platform::kErrorFileNotFound);
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(platform::WaitNamedPipe(missing, 5000));
  EXPECT_EQ(platform::LastError(), platform::kErrorFileNotFound);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  // "." and ".." would open the pipe file system or leave it.
  for (const char* name : {"", ".", "..", "..\\..\\C:\\windows\\win.ini", "a\\.\\b"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(platform::OpenPipe(platform::LocalPipePath(name)));
    EXPECT_EQ(platform::LastError(), platform::kErrorFileNotFound);
  }
  EXPECT_FALSE(platform::OpenPipe("C:\\windows\\win.ini"));
  EXPECT_EQ(platform::LastError(), platform::kErrorInvalidName);
}

TEST(Win32Pipes, TimeOutsAndAClosedOtherEndHaveTheirCodes) {
  const std::string path = platform::LocalPipePath(UniquePipeName("WIN32-ENDS"));
  std::string reason;
  auto listener = platform::CreatePipeListener(path, reason);
  ASSERT_TRUE(listener) << reason;
  auto client = platform::OpenPipe(path);
  ASSERT_TRUE(client);
  auto server = listener->Accept(2000);
  ASSERT_TRUE(server);

  char buffer[64];
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(server->Read(buffer, sizeof buffer, 200), -1);
  EXPECT_EQ(platform::LastError(), platform::kErrorWaitTimeout);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);

  // A read that timed out took nothing away: the next one gets the bytes.
  ASSERT_TRUE(client->Write("abc", 3, 1000));
  EXPECT_EQ(server->BytesAvailable(), 3);
  EXPECT_EQ(server->Read(buffer, sizeof buffer, 1000), 3);

  client.reset();
  EXPECT_EQ(server->Read(buffer, sizeof buffer, 1000), -1);
  EXPECT_EQ(platform::LastError(), platform::kErrorBrokenPipe);
  EXPECT_FALSE(server->Write("x", 1, 1000));
  EXPECT_EQ(platform::LastError(), platform::kErrorNoData);
}

// The server reads in short slices so that it sees a stop request soon; every
// slice that ends without data cancels its read. Bytes that arrive while a
// read is being cancelled must come with the next read, in order, none lost.
TEST(Win32Pipes, ReadsCutShortByTheirTimeOutLoseNoByte) {
  const std::string path = platform::LocalPipePath(UniquePipeName("WIN32-SLICES"));
  std::string reason;
  auto listener = platform::CreatePipeListener(path, reason);
  ASSERT_TRUE(listener) << reason;
  auto client = platform::OpenPipe(path);
  ASSERT_TRUE(client);
  auto server = listener->Accept(2000);
  ASSERT_TRUE(server);

  constexpr int kBytes = 60000;
  std::thread writer([&] {
    std::string piece;
    for (int sent = 0; sent < kBytes;) {
      piece.clear();
      for (int i = 0; i < 1 + sent % 23 && sent < kBytes; ++i, ++sent) piece += static_cast<char>(sent % 251);
      if (!client->Write(piece.data(), static_cast<int64_t>(piece.size()), 10000)) return;
      // Pauses around the reader's slice, so that many reads end just as bytes come.
      std::this_thread::sleep_for(std::chrono::microseconds((sent * 7919) % 2000));
    }
  });
  int received = 0;
  int wrong = -1;
  int slicesCut = 0;
  auto end = std::chrono::steady_clock::now() + 60s;
  char buffer[97];
  while (received < kBytes && std::chrono::steady_clock::now() < end) {
    // A slice of 0 ms cancels a read right after it started, 1 ms a little later.
    int64_t got = server->Read(buffer, 1 + received % static_cast<int>(sizeof buffer), (received + slicesCut) % 2);
    if (got < 0) {
      ASSERT_EQ(platform::LastError(), platform::kErrorWaitTimeout);
      ++slicesCut;
      continue;
    }
    for (int64_t i = 0; i < got; ++i, ++received) {
      if (wrong < 0 && buffer[i] != static_cast<char>(received % 251)) wrong = received;
    }
  }
  writer.join();
  EXPECT_EQ(received, kBytes);
  EXPECT_EQ(wrong, -1) << "first byte out of order at " << wrong;
  std::printf("%d bytes, %d reads cut short\n", received, slicesCut);
}

// The server's accept loop waits in short slices too; a client that connects
// at any moment of it must be accepted, also while a slice is ending.
TEST(Win32Pipes, AcceptInShortSlicesMissesNoClient) {
  const std::string path = platform::LocalPipePath(UniquePipeName("WIN32-ACCEPT"));
  std::string reason;
  auto listener = platform::CreatePipeListener(path, reason);
  ASSERT_TRUE(listener) << reason;
  constexpr int kClients = 4;
  constexpr int kConnectionsEach = 150;
  std::atomic<bool> done{false};
  std::atomic<int> accepted{0};
  std::thread acceptor([&] {
    while (!done.load()) {
      auto connection = listener->Accept(1 + accepted.load() % 3);
      if (!connection) continue;
      ++accepted;
      connection->Write("!", 1, 5000);
    }
  });
  std::atomic<int> unanswered{0};
  std::mutex lock;
  std::string report;
  std::vector<std::thread> clients;
  for (int c = 0; c < kClients; ++c) {
    clients.emplace_back([&, c] {
      for (int i = 0; i < kConnectionsEach && unanswered.load() < 3; ++i) {
        std::unique_ptr<platform::PipeHandle> pipe;
        for (int attempt = 0; !pipe && attempt < 100; ++attempt) {
          pipe = platform::OpenPipe(path);
          if (!pipe) platform::WaitNamedPipe(path, 1000);
        }
        char answer = 0;
        if (pipe && pipe->Read(&answer, 1, 10000) == 1 && answer == '!') continue;
        ++unanswered;
        std::lock_guard<std::mutex> guard(lock);
        report += "client " + std::to_string(c) + ", connection " + std::to_string(i) +
                  (pipe ? ": no answer\n" : ": could not connect\n");
      }
    });
  }
  for (auto& client : clients) client.join();
  done = true;
  acceptor.join();
  EXPECT_EQ(unanswered.load(), 0) << report;
  EXPECT_EQ(accepted.load(), kClients * kConnectionsEach);
}

TEST(Win32Pipes, LargeBlocksArriveWhole) {
  const std::string path = platform::LocalPipePath(UniquePipeName("WIN32-LARGE"));
  std::string reason;
  auto listener = platform::CreatePipeListener(path, reason);
  ASSERT_TRUE(listener) << reason;
  auto client = platform::OpenPipe(path);
  ASSERT_TRUE(client);
  auto server = listener->Accept(2000);
  ASSERT_TRUE(server);

  std::string block(3 * 1024 * 1024 + 17, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7 + i / 251);
  std::thread writer([&] { EXPECT_TRUE(server->Write(block.data(), static_cast<int64_t>(block.size()), 5000)); });
  std::string received;
  std::vector<char> buffer(65536);
  while (received.size() < block.size()) {
    int64_t got = client->Read(buffer.data(), static_cast<int64_t>(buffer.size()), 5000);
    if (got <= 0) break;
    received.append(buffer.data(), static_cast<size_t>(got));
  }
  writer.join();
  EXPECT_TRUE(received == block);
}

}  // namespace
}  // namespace wb
