// TIPCClient: the pipe client's connect loop and the byte sequence of one exchange.
#include "ipc/ipc_client.h"

#include <algorithm>
#include <atomic>
#include <chrono>

#include "ipc/wire_format.h"
#include "platform/files.h"

namespace wb {

namespace {

constexpr const char* kWaitTimeoutText = "IPC client failed with WAIT timeout";
constexpr const char* kCreateFileText = "CreateFile failed while creating new pipe handle";
constexpr const char* kWaitNamedPipeText = "WaitNamedPipe failed while wating for the pipe";
constexpr const char* kWriteIdText = "WriteFile failed while writing message ID";
constexpr const char* kWriteSizeText = "WriteFile failed while writing message data size";
constexpr const char* kWriteChunkText = "WriteFile failed while writing message chunk";
constexpr const char* kReadIdLengthText = "ReadFile failed while reading message ID length";
constexpr const char* kReadIdText = "ReadFile failed while reading message ID";
constexpr const char* kReadSizeText = "ReadFile failed while reading message data size";
constexpr const char* kReadDataText = "ReadFile failed while reading message data";

// A reply's data block first gets room for this much; once more has actually
// arrived, the peer has shown that it sends and the whole announced size is
// reserved at once (one allocation, no copying as the block grows).
constexpr int64_t kTrustedReplyBytes = int64_t{1} << 20;

// The end marker goes to a server that is already done with us; it must not hold
// up the close for long.
constexpr int kEndMarkerTimeoutMs = 1000;

std::atomic<int> gReplyIdleTimeoutMs{kReplyIdleTimeoutMs};

// ERROR_MORE_DATA counts as a successful read; a read of nothing at all means
// the pipe has ended (so a loop waiting for more can never spin).
bool ReadSucceeded(int64_t got) {
  if (got > 0) return true;
  if (got < 0 && platform::LastError() == platform::kErrorMoreData) return true;
  if (got == 0) platform::SetLastError(platform::kErrorBrokenPipe);
  return false;
}

int64_t ElapsedMs(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int ReplyIdleTimeoutMs() { return gReplyIdleTimeoutMs.load(); }

void SetReplyIdleTimeoutMsForTesting(int milliseconds) {
  gReplyIdleTimeoutMs.store(milliseconds < 0 ? kReplyIdleTimeoutMs : milliseconds);
}

TIPCClient::TIPCClient() { SetServerName(""); }

TIPCClient::~TIPCClient() { Disconnect(); }

void TIPCClient::SetServerName(const std::string& name) {
  serverName_ = name;
  pipeName_ = "\\\\" + computerName_ + "\\pipe\\" + name;
}

void TIPCClient::Fail(const char* text, uint32_t code) {
  errorText_ = text;
  errorCode_ = code;
}

void TIPCClient::FailWithLastError(const char* text) { Fail(text, platform::LastError()); }

bool TIPCClient::Connect(int timeoutMs) {
  handle_.reset();
  connected_ = false;
  errorText_.clear();
  errorCode_ = 0;
  // A monotonic clock: a wall-clock jump must not cut the wait short or stretch it.
  auto start = std::chrono::steady_clock::now();
  for (;;) {
    if (ElapsedMs(start) >= timeoutMs) {
      if (!handle_) Fail(kWaitTimeoutText, platform::kErrorWaitTimeout);
      return false;
    }
    handle_ = platform::OpenPipe(pipeName_);
    if (handle_) {
      connected_ = true;
      return true;
    }
    uint32_t error = platform::LastError();
    if (error != platform::kErrorFileNotFound && error != platform::kErrorPipeBusy) {
      Fail(kCreateFileText, error);
      return false;
    }
    int64_t left = std::max<int64_t>(0, timeoutMs - ElapsedMs(start));
    if (!platform::WaitNamedPipe(pipeName_, static_cast<uint32_t>(left))) {
      FailWithLastError(kWaitNamedPipeText);
      return false;
    }
  }
}

void TIPCClient::AttachPipe(std::unique_ptr<platform::PipeHandle> handle) {
  handle_ = std::move(handle);
  connected_ = handle_ != nullptr;
  errorText_.clear();
  errorCode_ = 0;
}

bool TIPCClient::WritePipe(const void* bytes, int64_t count) {
  if (!handle_) {
    platform::SetLastError(platform::kErrorInvalidHandle);
    return false;
  }
  return handle_->Write(bytes, count, ReplyIdleTimeoutMs());
}

// Reads exactly count bytes: a pipe may hand over a field in several pieces.
bool TIPCClient::ReadPipe(void* bytes, int64_t count) {
  if (!handle_) {
    platform::SetLastError(platform::kErrorInvalidHandle);
    return false;
  }
  auto* out = static_cast<uint8_t*>(bytes);
  int64_t done = 0;
  while (done < count) {
    int64_t got = handle_->Read(out + done, count - done, ReplyIdleTimeoutMs());
    if (!ReadSucceeded(got)) return false;
    if (got > 0) done += got;
  }
  return true;
}

bool TIPCClient::SendRequest(const IMessageDataPtr& request) {
  std::string id = request ? request->GetID() : std::string();
  TMemoryStream* stream = request ? &request->GetData().Stream() : nullptr;
  int64_t dataSize = stream ? stream->Size() : 0;
  if (stream) stream->SetPosition(0);

  std::vector<uint8_t> idFrame(8 + id.size());
  ipc::PutInt64LE(idFrame.data(), static_cast<int64_t>(id.size()));
  std::copy(id.begin(), id.end(), idFrame.begin() + 8);
  if (!WritePipe(idFrame.data(), static_cast<int64_t>(idFrame.size()))) {
    FailWithLastError(kWriteIdText);
    return false;
  }
  uint8_t sizeField[8];
  ipc::PutInt64LE(sizeField, dataSize);
  if (!WritePipe(sizeField, 8)) {
    FailWithLastError(kWriteSizeText);
    return false;
  }
  if (dataSize > 0) {
    chunk_.resize(ipc::kChunkSize);
    for (;;) {
      int64_t got = stream->Read(chunk_.data(), ipc::kChunkSize);
      if (got <= 0) break;
      if (!WritePipe(chunk_.data(), got)) {
        FailWithLastError(kWriteChunkText);
        return false;
      }
    }
  }
  return true;
}

bool TIPCClient::ReceiveReply(IMessageData& reply) {
  uint8_t field[8];
  if (!ReadPipe(field, 8)) {
    FailWithLastError(kReadIdLengthText);
    return false;
  }
  int64_t idLength = ipc::GetInt64LE(field);
  if (idLength > ipc::kMaxIdLength) {
    Fail(kReadIdText, kErrorInvalidData);
    return false;
  }
  if (idLength > 0) {
    std::string id(static_cast<size_t>(idLength), '\0');
    if (!ReadPipe(id.data(), idLength)) {
      FailWithLastError(kReadIdText);
      return false;
    }
    reply.SetID(id);
  }

  if (!ReadPipe(field, 8)) {
    FailWithLastError(kReadSizeText);
    return false;
  }
  int64_t dataSize = ipc::GetInt64LE(field);
  // Refused before anything is allocated: a broken or hostile peer must not make
  // the window reserve gigabytes.
  if (dataSize > ipc::kMaxDataSize) {
    Fail(kReadSizeText, kErrorInvalidData);
    return false;
  }
  if (dataSize > 0) {
    // Memory follows the bytes that actually arrive: a peer that announces a
    // large block and sends little costs little.
    TMemoryStream& stream = reply.GetData().Stream();
    chunk_.resize(ipc::kChunkSize);
    int64_t received = 0;
    int64_t reserved = 0;
    while (received < dataSize) {
      int64_t piece = std::min(ipc::kChunkSize, dataSize - received);
      int64_t got = handle_->Read(chunk_.data(), piece, ReplyIdleTimeoutMs());
      if (!ReadSucceeded(got)) {
        FailWithLastError(kReadDataText);
        return false;
      }
      if (got <= 0) continue;
      if (received + got > reserved) {
        reserved = received + got <= kTrustedReplyBytes ? std::min(dataSize, kTrustedReplyBytes) : dataSize;
        stream.Reserve(reserved);
      }
      stream.WriteBuffer(chunk_.data(), got);
      received += got;
    }
    // More bytes than announced: the peer does not speak this protocol.
    if (handle_->BytesAvailable() > 0) {
      Fail(kReadDataText, kErrorInvalidData);
      return false;
    }
  }
  reply.GetData().Stream().SetPosition(0);
  return true;
}

void TIPCClient::Exchange(const IMessageDataPtr& request, IMessageDataPtr& reply) {
  replyComplete_ = false;
  errorCode_ = 0;
  reply.reset();
  if (!SendRequest(request)) return;
  reply = CreateMessageData();
  if (!ReceiveReply(*reply)) return;
  replyComplete_ = true;
}

void TIPCClient::Disconnect() {
  if (!handle_) return;
  uint8_t marker[8];
  ipc::PutInt64LE(marker, ipc::kEndMarker);
  handle_->Write(marker, 8, kEndMarkerTimeoutMs);
  handle_.reset();
  connected_ = false;
}

void TIPCClient::ConnectAndExchange(const IMessageDataPtr& request, int timeoutMs, IMessageDataPtr& reply) {
  Connect(timeoutMs);
  Exchange(request, reply);
  Disconnect();
}

}  // namespace wb
