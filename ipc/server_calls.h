// UIPCCalcExChangeServerCommon: the program's only road to the suite's local
// server. ReadIPCValueSync sends a command and returns the server's text reply;
// WriteIPCValueASync hands the server a command with data and needs only the
// acknowledgement; DetectServerName finds, once at start, the server whose
// process started this program and remembers it as CurrentServerName.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/errors.h"

namespace wb {

inline constexpr int kServerConnectTimeoutMs = 5000;
inline constexpr int kServerCallAttempts = 3;
inline constexpr int kServerRetryPauseMs = 50;
// Separates the pipe name from the process id in a SERVERPROCESS reply.
inline constexpr char kServerProcessSeparator = '\x08';

class TIPCClientException : public Exception {
 public:
  using Exception::Exception;
};

// The process-wide server name; the lock is held for the copy alone.
std::string GetCurrentServerName();
void SetCurrentServerName(const std::string& name);

// One synchronous attempt against a named server: the request holds COMMAND,
// INDEX = -1, DATA (omitted when empty) and SYNC = true. ok tells whether the
// whole reply arrived; value is the reply's DATA (also of an incomplete reply).
void QueryServerOnce(const std::string& command, const std::string& serverName, bool& ok, std::string& value,
                     const std::string& data);

// Up to three attempts against CurrentServerName, or the local-service list's
// first line while none is set. After three failures value is what the last
// attempt obtained, as a rule "". With raiseOnFailure the first failed attempt
// raises TIPCClientException instead. True when a whole reply arrived.
bool ReadIPCValueSync(const std::string& command, bool raiseOnFailure, const std::string& data, std::string& value);

// Sends COMMAND, INDEX and DATA (no SYNC) in up to three attempts, choosing the
// server anew for each; true when the server acknowledged with a whole reply.
// Empty data sends nothing and returns false.
bool WriteIPCValueASync(const std::string& data, int32_t index, bool raiseOnFailure, const std::string& command);

// The id of the process that started this one; 0 when it cannot be found.
uint32_t GetParentProcessId();
// Tests pin the parent process id (0: "no parent found"); nullopt restores the real one.
void SetParentProcessIdForTesting(std::optional<uint32_t> id);

// Asks every server of the local-service list whether it is this process's
// parent and adopts the matching one as CurrentServerName (see the unit's notes
// for the single-answer rule). Returns the adopted name or "". Never fails.
std::string DetectServerName();

}  // namespace wb
