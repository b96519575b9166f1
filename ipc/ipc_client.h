// TIPCClient: one request message to the suite's server over a named pipe and one
// reply back. A client serves one exchange per connection: open the pipe within
// a time-out, send the request, read the reply, send the end marker, close.
//
// Wire format (little-endian): request = ID length (int64) | ID bytes | data size
// (int64) | data block; reply = the same four fields; after the reply the client
// sends eight 0xFF bytes (an ID length of -1) and closes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ipc/message_data.h"
#include "platform/pipes.h"

namespace wb {

// Reading a reply gives up after this long without a byte arriving, so a server
// that accepts a request and never answers cannot freeze the window for good.
inline constexpr int kReplyIdleTimeoutMs = 60000;
int ReplyIdleTimeoutMs();
void SetReplyIdleTimeoutMsForTesting(int milliseconds);  // negative: back to kReplyIdleTimeoutMs

// ERROR_INVALID_DATA: the reply announced a size no sound server sends.
inline constexpr uint32_t kErrorInvalidData = 13;

class TIPCClient {
 public:
  TIPCClient();
  ~TIPCClient();
  TIPCClient(const TIPCClient&) = delete;
  TIPCClient& operator=(const TIPCClient&) = delete;

  // Stores the name and rebuilds PipeName as "\\<ComputerName>\pipe\<name>".
  void SetServerName(const std::string& name);
  const std::string& ServerName() const { return serverName_; }
  const std::string& PipeName() const { return pipeName_; }
  // "." (this computer) unless changed; takes effect at the next SetServerName.
  const std::string& ComputerName() const { return computerName_; }
  void SetComputerName(const std::string& name) { computerName_ = name; }

  // Opens the pipe, waiting for a free instance, within timeoutMs. True when open.
  bool Connect(int timeoutMs);
  // Takes over a pipe that is already open (an in-memory pipe of a test or fuzzer).
  void AttachPipe(std::unique_ptr<platform::PipeHandle> handle);
  // Sends request and reads the reply into reply (a fresh message, handed over
  // before the reply is read: after a failure it may be partly filled).
  // ReplyComplete tells whether the whole reply arrived. Raises no error.
  void Exchange(const IMessageDataPtr& request, IMessageDataPtr& reply);
  // Sends the end marker and closes the pipe; nothing without an open pipe.
  void Disconnect();
  // Connect, Exchange whatever Connect achieved, Disconnect in every case.
  void ConnectAndExchange(const IMessageDataPtr& request, int timeoutMs, IMessageDataPtr& reply);

  bool Connected() const { return connected_; }
  bool ReplyComplete() const { return replyComplete_; }
  // The failure point and platform error code of the last failure.
  const std::string& ErrorText() const { return errorText_; }
  uint32_t ErrorCode() const { return errorCode_; }

 private:
  void Fail(const char* text, uint32_t code);
  void FailWithLastError(const char* text);
  bool WritePipe(const void* bytes, int64_t count);
  bool ReadPipe(void* bytes, int64_t count);
  bool SendRequest(const IMessageDataPtr& request);
  bool ReceiveReply(IMessageData& reply);

  std::string pipeName_;
  std::string errorText_;
  uint32_t errorCode_ = 0;
  std::string serverName_;
  std::unique_ptr<platform::PipeHandle> handle_;
  bool connected_ = false;
  bool replyComplete_ = false;
  std::string computerName_ = ".";
  std::vector<uint8_t> chunk_;  // the one transfer buffer of kChunkSize bytes
};

}  // namespace wb
