// Request frames in, reply frames out. Reads go through one buffer so that the
// small header fields of a request cost no extra system calls.
#include "server/request_framing.h"

#include <algorithm>
#include <cstring>

#include "ipc/wire_format.h"
#include "platform/files.h"

namespace wb::server {

TRequestReader::TRequestReader(platform::PipeHandle& pipe, int idleTimeoutMs)
    : pipe_(pipe), idleTimeoutMs_(idleTimeoutMs), buffer_(static_cast<size_t>(ipc::kChunkSize)) {}

bool TRequestReader::Fill(size_t count) {
  if (end_ - begin_ >= count) return true;
  if (closed_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  while (end_ < count) {
    int64_t got = pipe_.Read(buffer_.data() + end_, static_cast<int64_t>(buffer_.size() - end_), idleTimeoutMs_);
    if (got <= 0) {
      closed_ = true;
      return false;
    }
    end_ += static_cast<size_t>(got);
  }
  return true;
}

bool TRequestReader::Take(void* out, size_t count) {
  if (!Fill(count)) return false;
  std::memcpy(out, buffer_.data() + begin_, count);
  begin_ += count;
  return true;
}

bool TRequestReader::TakeInto(uint8_t* out, int64_t count) {
  int64_t buffered = std::min<int64_t>(count, static_cast<int64_t>(end_ - begin_));
  if (buffered > 0) {
    std::memcpy(out, buffer_.data() + begin_, static_cast<size_t>(buffered));
    begin_ += static_cast<size_t>(buffered);
  }
  int64_t done = buffered;
  while (done < count) {
    int64_t got = pipe_.Read(out + done, std::min(ipc::kChunkSize, count - done), idleTimeoutMs_);
    if (got <= 0) {
      closed_ = true;
      return false;
    }
    done += got;
  }
  return true;
}

FrameStatus TRequestReader::Next(IMessageDataPtr& request) {
  request.reset();
  uint8_t field[8];
  if (!Fill(1)) return FrameStatus::EndOfInput;  // closed between requests
  if (!Take(field, 8)) return FrameStatus::Malformed;
  int64_t idLength = ipc::GetInt64LE(field);
  if (idLength == ipc::kEndMarker) return FrameStatus::EndOfInput;
  if (idLength < 0 || idLength > ipc::kMaxIdLength) return FrameStatus::Malformed;

  IMessageDataPtr message = CreateMessageData();
  if (idLength > 0) {
    std::string id(static_cast<size_t>(idLength), '\0');
    if (!TakeInto(reinterpret_cast<uint8_t*>(id.data()), idLength)) return FrameStatus::Malformed;
    message->SetID(id);
  }
  if (!Take(field, 8)) return FrameStatus::Malformed;
  int64_t dataSize = ipc::GetInt64LE(field);
  if (dataSize < 0 || dataSize > ipc::kMaxDataSize) return FrameStatus::Malformed;
  if (dataSize > 0) {
    TMemoryStream& stream = message->GetData().Stream();
    stream.SetSize(dataSize);
    if (!TakeInto(stream.Memory(), dataSize)) return FrameStatus::Malformed;
    stream.SetPosition(0);
  }
  request = std::move(message);
  return FrameStatus::Request;
}

bool WriteReply(platform::PipeHandle& pipe, IMessageData& reply, int timeoutMs) {
  const std::string id = reply.GetID();
  TMemoryStream& stream = reply.GetData().Stream();
  const int64_t dataSize = stream.Size();
  // Small replies go out in one write; a large block is sent from where it lies.
  const bool inOne = dataSize <= ipc::kChunkSize;
  std::vector<uint8_t> frame(16 + id.size() + (inOne ? static_cast<size_t>(dataSize) : 0));
  ipc::PutInt64LE(frame.data(), static_cast<int64_t>(id.size()));
  std::memcpy(frame.data() + 8, id.data(), id.size());
  ipc::PutInt64LE(frame.data() + 8 + id.size(), dataSize);
  if (inOne && dataSize > 0) std::memcpy(frame.data() + 16 + id.size(), stream.Memory(), static_cast<size_t>(dataSize));
  if (!pipe.Write(frame.data(), static_cast<int64_t>(frame.size()), timeoutMs)) return false;
  if (!inOne && !pipe.Write(stream.Memory(), dataSize, timeoutMs)) return false;
  return true;
}

}  // namespace wb::server
