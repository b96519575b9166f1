// Fuzz target: the client's reply reader. The input is what a server sends back,
// delivered in pieces whose size the first byte chooses; the client exchanges a
// small request over this in-memory pipe and the reply's DATA is read. Whatever
// the bytes, the exchange must end (complete or not) without touching memory
// outside its buffers and without allocating for sizes above the limit.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "ipc/ipc_client.h"
#include "ipc/message_data.h"
#include "tests/ipc/memory_pipe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  int64_t piece = 1 + data[0] % 64;
  std::string reply(reinterpret_cast<const char*>(data + 1), size - 1);

  wb::TIPCClient client;
  client.AttachPipe(std::make_unique<wb::test::MemoryPipe>(reply, nullptr, piece));
  wb::IMessageDataPtr request = wb::CreateMessageData();
  request->GetData().WriteString(u"COMMAND", u"DBPATH");
  wb::IMessageDataPtr answer;
  client.Exchange(request, answer);
  client.Disconnect();
  if (answer) {
    std::u16string value = answer->GetData().ReadString(u"DATA");
    if (static_cast<int64_t>(value.size()) * 2 > answer->GetData().Stream().Size()) __builtin_trap();
  }
  if (client.ReplyComplete() && !client.ErrorText().empty()) __builtin_trap();
  return 0;
}
