// Fuzz target: wbk-localserver's request reader and command table. The input is
// what a client sends on one connection; every whole request is answered the
// way the server answers it (output commands excepted: they would start jobs).
#include <cstddef>
#include <cstdint>
#include <string>

#include "ipc/message_data.h"
#include "server/request_framing.h"
#include "tests/ipc/memory_pipe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  int64_t piece = 1 + data[0] % 64;
  wb::test::MemoryPipe::Shared written;
  wb::test::MemoryPipe pipe(std::string(reinterpret_cast<const char*>(data + 1), size - 1), &written, piece);
  wb::server::TRequestReader reader(pipe, 0);
  for (int requests = 0; requests < 64; ++requests) {
    wb::IMessageDataPtr request;
    if (reader.Next(request) != wb::server::FrameStatus::Request) break;
    wb::IMessageDataPtr reply = wb::CreateMessageData();
    reply->SetID(request->GetID());
    reply->GetData().WriteString(u"DATA", request->GetData().ReadString(u"COMMAND"));
    reply->GetData().WriteString(u"ECHO", request->GetData().ReadString(u"DATA"));
    if (!wb::server::WriteReply(pipe, *reply, 0)) __builtin_trap();
  }
  return 0;
}
