// The server's side of the wire protocol: reading request frames from a client's
// pipe and writing reply frames back. A client may send several requests on one
// connection and ends it with the end marker (an ID length of -1) or by closing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ipc/message_data.h"
#include "platform/pipes.h"

namespace wb::server {

enum class FrameStatus {
  Request,     // a whole request arrived
  EndOfInput,  // the end marker, or the client closed between requests
  Malformed,   // a size out of range, a frame cut short, or a silent client
};

class TRequestReader {
 public:
  TRequestReader(platform::PipeHandle& pipe, int idleTimeoutMs);

  // The next request: its ID and a fresh message whose data block holds the
  // received bytes. Sizes are checked before anything is allocated.
  FrameStatus Next(IMessageDataPtr& request);

 private:
  // Makes at least count bytes available in the buffer; false at the end of input.
  bool Fill(size_t count);
  bool Take(void* out, size_t count);
  // Copies count bytes into memory: first what is buffered, the rest straight from the pipe.
  bool TakeInto(uint8_t* out, int64_t count);

  platform::PipeHandle& pipe_;
  int idleTimeoutMs_;
  std::vector<uint8_t> buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
  bool closed_ = false;  // the other end has closed (or gone silent)
};

// Writes one reply frame: ID length, ID, data size and the reply's data block.
bool WriteReply(platform::PipeHandle& pipe, IMessageData& reply, int timeoutMs);

}  // namespace wb::server
