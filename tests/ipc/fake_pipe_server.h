// Test support: a scripted pipe server inside the test process. It serves one
// connection at a time on its own thread, records every byte a client sends
// (request and end marker) and answers as the test's script says: a DATA text,
// raw bytes, closing without a word, or silence.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ipc/message_data.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/pipes.h"
#include "tests/ipc/memory_pipe.h"

namespace wb::test {

struct FakeReply {
  enum Kind { Data, Raw, Close, Silent } What = Data;
  std::string Bytes;  // Data: 8-bit DATA text; Raw: the exact reply bytes

  static FakeReply Text(const std::string& text) { return {Data, text}; }
  static FakeReply RawBytes(const std::string& bytes) { return {Raw, bytes}; }
  static FakeReply Hangup() { return {Close, ""}; }
  static FakeReply Silence() { return {Silent, ""}; }
};

// The request as the fake server understood it.
struct FakeRequest {
  std::string Raw;      // every byte of the request frame
  std::string Command;  // COMMAND, 8-bit
  std::string Data;     // DATA, 8-bit
};

class FakePipeServer {
 public:
  using Script = std::function<FakeReply(const FakeRequest&)>;

  FakePipeServer(const std::string& name, Script script) : script_(std::move(script)) {
    std::string reason;
    listener_ = platform::CreatePipeListener(platform::LocalPipePath(name), reason);
    if (!listener_) throw std::runtime_error("fake server: " + reason);
    thread_ = std::thread([this] { Serve(); });
  }
  ~FakePipeServer() {
    stop_ = true;
    thread_.join();
  }

  // All bytes each finished connection sent, in connection order.
  std::vector<std::string> Sessions() {
    std::lock_guard<std::mutex> guard(lock_);
    return sessions_;
  }
  int Connections() { return connections_.load(); }
  // Waits until n connections have been served completely.
  bool WaitForSessions(size_t n, int timeoutMs = 5000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
      if (Sessions().size() >= n) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }

 private:
  static bool ReadExact(platform::PipeHandle& pipe, std::string& into, int64_t count) {
    std::string piece(static_cast<size_t>(count), '\0');
    int64_t done = 0;
    while (done < count) {
      int64_t got = pipe.Read(piece.data() + done, count - done, 2000);
      if (got <= 0) return false;
      done += got;
    }
    into += piece;
    return true;
  }

  static int64_t Int64At(const std::string& bytes, size_t at) {
    uint64_t value = 0;
    for (size_t i = 0; i < 8; ++i) value |= static_cast<uint64_t>(static_cast<uint8_t>(bytes[at + i])) << (8 * i);
    return static_cast<int64_t>(value);
  }

  void Serve() {
    while (!stop_) {
      auto pipe = listener_->Accept(20);
      if (!pipe) continue;
      ++connections_;
      std::string session;
      FakeRequest request;
      bool hangup = false;
      bool whole = ReadExact(*pipe, session, 8);
      int64_t idLength = whole ? Int64At(session, 0) : 0;
      // A client that only probed the pipe closes without sending anything.
      if (whole && idLength >= 0 && idLength < 4096) {
        whole = ReadExact(*pipe, session, idLength) && ReadExact(*pipe, session, 8);
        int64_t dataSize = whole ? Int64At(session, static_cast<size_t>(8 + idLength)) : 0;
        whole = whole && dataSize >= 0 && dataSize < (1 << 20) && ReadExact(*pipe, session, dataSize);
        if (whole) {
          request.Raw = session;
          IMessageDataPtr message = CreateMessageData();
          message->GetData().Stream().WriteBuffer(session.data() + 16 + idLength, dataSize);
          request.Command = platform::WideToAnsi(message->GetData().ReadString(u"COMMAND"));
          request.Data = platform::WideToAnsi(message->GetData().ReadString(u"DATA"));
          FakeReply reply = script_(request);
          Answer(*pipe, reply);
          hangup = reply.What == FakeReply::Close;
        }
      }
      // Whatever follows (the end marker) until the client closes.
      char byte[64];
      while (!hangup) {
        int64_t got = pipe->Read(byte, sizeof byte, 2000);
        if (got <= 0) break;
        session.append(byte, static_cast<size_t>(got));
      }
      std::lock_guard<std::mutex> guard(lock_);
      sessions_.push_back(session);
    }
  }

  void Answer(platform::PipeHandle& pipe, const FakeReply& reply) {
    switch (reply.What) {
      case FakeReply::Data: {
        IMessageDataPtr message = CreateMessageData();
        message->GetData().WriteString(u"DATA", platform::AnsiToWide(reply.Bytes));
        TMemoryStream& stream = message->GetData().Stream();
        std::string bytes =
            Int64Bytes(0) + Int64Bytes(stream.Size()) +
            std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
        pipe.Write(bytes.data(), static_cast<int64_t>(bytes.size()), 2000);
        break;
      }
      case FakeReply::Raw: pipe.Write(reply.Bytes.data(), static_cast<int64_t>(reply.Bytes.size()), 2000); break;
      case FakeReply::Close: break;
      case FakeReply::Silent:
        // Holds the connection open until the client gives up.
        for (char byte;
             pipe.Read(&byte, 1, 200) < 0 && platform::LastError() == platform::kErrorWaitTimeout && !stop_;) {
        }
        break;
    }
  }

  Script script_;
  std::unique_ptr<platform::PipeListener> listener_;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::mutex lock_;
  std::vector<std::string> sessions_;
  std::thread thread_;
};

}  // namespace wb::test
