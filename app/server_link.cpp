// The server link over the named-pipe client.
#include "app/server_link.h"

#include "ipc/server_calls.h"

namespace wb {

void PipeServerLink::Detect() { DetectServerName(); }

std::string PipeServerLink::Read(const std::string& command) {
  std::string value;
  answered_ = ReadIPCValueSync(command, false, "", value);
  return value;
}

void PipeServerLink::Write(const std::string& command, const std::string& data) {
  WriteIPCValueASync(data, -1, false, command);
}

}  // namespace wb
