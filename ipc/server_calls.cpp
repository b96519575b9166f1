// UIPCCalcExChangeServerCommon: server calls with retries, the remembered server
// name, and the discovery of the server that started this program.
#include "ipc/server_calls.h"

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "client/local_service_list.h"
#include "ipc/ipc_client.h"
#include "ipc/message_data.h"
#include "platform/codepage.h"
#include "platform/processes.h"
#include "strings/string_list.h"
#include "strings/strutils.h"

namespace wb {

namespace {

std::mutex gServerNameLock;
std::string gCurrentServerName;

std::mutex gParentOverrideLock;
std::optional<uint32_t> gParentOverride;

void PauseAfterFailedAttempt() { std::this_thread::sleep_for(std::chrono::milliseconds(kServerRetryPauseMs)); }

// CurrentServerName, or the local-service list's first line while none is set.
std::string EffectiveServerName() {
  std::string name = GetCurrentServerName();
  if (name.empty()) name = ReadLocalServiceList(nullptr);
  return name;
}

std::string ReplyData(const IMessageDataPtr& reply) {
  if (!reply) return std::string();
  return platform::WideToAnsi(reply->GetData().ReadString(u"DATA"));
}

std::vector<std::string> SplitServerProcessReply(const std::string& reply) {
  std::vector<std::string> parts;
  SplitText(std::string(1, kServerProcessSeparator), reply, 0, parts, 0);
  return parts;
}

}  // namespace

std::string GetCurrentServerName() {
  std::lock_guard<std::mutex> lock(gServerNameLock);
  return gCurrentServerName;
}

void SetCurrentServerName(const std::string& name) {
  std::lock_guard<std::mutex> lock(gServerNameLock);
  gCurrentServerName = name;
}

void QueryServerOnce(const std::string& command, const std::string& serverName, bool& ok, std::string& value,
                     const std::string& data) {
  TIPCClient client;
  client.SetServerName(serverName);
  IMessageDataPtr request = CreateMessageData();
  TStreamStorage& values = request->GetData();
  values.WriteString(u"COMMAND", platform::AnsiToWide(command));
  values.WriteInteger(u"INDEX", -1);
  values.WriteString(u"DATA", platform::AnsiToWide(data));
  values.WriteBoolean(u"SYNC", true);
  IMessageDataPtr reply;
  client.ConnectAndExchange(request, kServerConnectTimeoutMs, reply);
  value = ReplyData(reply);
  ok = client.ReplyComplete();
}

bool ReadIPCValueSync(const std::string& command, bool raiseOnFailure, const std::string& data, std::string& value) {
  value.clear();
  const std::string server = EffectiveServerName();
  for (int attempt = 1; attempt <= kServerCallAttempts; ++attempt) {
    bool ok = false;
    QueryServerOnce(command, server, ok, value, data);
    if (ok) return true;
    if (raiseOnFailure) {
      throw TIPCClientException("ReadIPCValueSync: Der Server " + server + " antwortet nicht");
    }
    PauseAfterFailedAttempt();
  }
  return false;
}

bool WriteIPCValueASync(const std::string& data, int32_t index, bool raiseOnFailure, const std::string& command) {
  if (data.empty()) return false;
  for (int attempt = 1; attempt <= kServerCallAttempts; ++attempt) {
    TIPCClient client;
    // Chosen anew for every attempt: discovery on another thread may have settled meanwhile.
    client.SetServerName(EffectiveServerName());
    IMessageDataPtr request = CreateMessageData();
    TStreamStorage& values = request->GetData();
    values.WriteString(u"COMMAND", platform::AnsiToWide(command));
    values.WriteInteger(u"INDEX", index);
    values.WriteString(u"DATA", platform::AnsiToWide(data));
    IMessageDataPtr reply;
    client.ConnectAndExchange(request, kServerConnectTimeoutMs, reply);
    if (!client.ReplyComplete() && raiseOnFailure) {
      throw TIPCClientException("WriteIPCValueASync: Der Server " + client.ServerName() + " antwortet nicht");
    }
    if (client.ReplyComplete()) return true;
    PauseAfterFailedAttempt();
  }
  return false;
}

uint32_t GetParentProcessId() {
  {
    std::lock_guard<std::mutex> lock(gParentOverrideLock);
    if (gParentOverride) return *gParentOverride;
  }
  return platform::GetParentProcessId();
}

void SetParentProcessIdForTesting(std::optional<uint32_t> id) {
  std::lock_guard<std::mutex> lock(gParentOverrideLock);
  gParentOverride = id;
}

std::string DetectServerName() {
  std::vector<std::string> answers;
  const uint32_t parent = GetParentProcessId();
  if (parent != 0) {
    TStringList candidates;
    ReadLocalServiceList(&candidates);
    const std::string parentText = std::to_string(parent);
    for (int i = 0; i < candidates.Count(); ++i) {
      std::string candidate = candidates.Get(i);
      bool ok = false;
      std::string reply;
      QueryServerOnce("SERVERPROCESS", candidate, ok, reply, "");
      if (!reply.empty()) answers.push_back(reply);
      std::vector<std::string> parts = SplitServerProcessReply(reply);
      if (parts.size() == 2 && parts[1] == parentText) {
        // The line of the list is adopted, not the name the server reports.
        SetCurrentServerName(candidate);
        return candidate;
      }
    }
  }

  if (answers.size() == 1) {
    // A single foreign answer is adopted only while the default server is silent.
    std::string defaultReply;
    ReadIPCValueSync("SERVERPROCESS", false, "", defaultReply);
    if (!defaultReply.empty()) return std::string();
    std::vector<std::string> parts = SplitServerProcessReply(answers.front());
    if (parts.size() == 2) {
      SetCurrentServerName(parts[0]);
      return parts[0];
    }
  }
  return std::string();
}

}  // namespace wb
