// Server calls and discovery against scripted in-process servers: retries and
// their failures, the values a request carries, and which server discovery adopts.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "ipc/server_calls.h"
#include "strings/string_list.h"
#include "tests/ipc/fake_pipe_server.h"
#include "tests/ipc/memory_pipe.h"
#include "tests/support/temp_env.h"

namespace wb {
namespace {

using test::FakePipeServer;
using test::FakeReply;
using test::FakeRequest;

class ServerCallsTest : public ::testing::Test {
 protected:
  void SetUp() override { SetCurrentServerName(""); }
  void TearDown() override {
    SetCurrentServerName("");
    SetParentProcessIdForTesting(std::nullopt);
  }

  void WriteServiceList(std::initializer_list<const char*> names) {
    TStringList lines;
    for (const char* name : names) lines.Add(name);
    SaveListRetry(lines, GetClientTempDir("") + LocalServiceListFile);
  }

  static FakePipeServer::Script Answer(const std::string& text) {
    return [text](const FakeRequest&) { return FakeReply::Text(text); };
  }
  static std::string Process(const std::string& name, uint32_t pid) { return name + '\x08' + std::to_string(pid); }

  test::TempEnv env_;
};

TEST_F(ServerCallsTest, ReadWithoutServerIsEmptyAfterThreeAttempts) {
  WriteServiceList({"NOBODY"});
  std::string value = "stale";
  auto start = std::chrono::steady_clock::now();
  ReadIPCValueSync("DBPATH", false, "", value);
  auto spent = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(value, "");
  EXPECT_GE(spent, std::chrono::milliseconds(3 * kServerRetryPauseMs));
  EXPECT_LT(spent, std::chrono::milliseconds(2000));
}

TEST_F(ServerCallsTest, ReadWithoutListFileAddressesNoServer) {
  std::string value = "stale";
  ReadIPCValueSync("DBPATH", false, "", value);
  EXPECT_EQ(value, "");
}

TEST_F(ServerCallsTest, FailuresRaiseWhenAskedTo) {
  WriteServiceList({"NOBODY"});
  std::string value;
  try {
    ReadIPCValueSync("DBPATH", true, "", value);
    ADD_FAILURE() << "no error";
  } catch (const TIPCClientException& error) {
    EXPECT_STREQ(error.what(), "ReadIPCValueSync: Der Server NOBODY antwortet nicht");
  }
  try {
    WriteIPCValueASync("{}", -1, true, "PRINT");
    ADD_FAILURE() << "no error";
  } catch (const TIPCClientException& error) {
    EXPECT_STREQ(error.what(), "WriteIPCValueASync: Der Server NOBODY antwortet nicht");
  }
}

TEST_F(ServerCallsTest, ReadReturnsTheReplyDataAsSystemCodePageText) {
  WriteServiceList({"S"});
  FakePipeServer server("S", [](const FakeRequest& request) {
    return FakeReply::Text(request.Command == "APPPATH" ? "/opt/werkbank/"
                                                        : "Gr\xF6\xDF"
                                                          "e");
  });
  std::string value;
  ReadIPCValueSync("APPPATH", false, "", value);
  EXPECT_EQ(value, "/opt/werkbank/");
  ReadIPCValueSync("OTHER", false, "", value);
  EXPECT_EQ(value,
            "Gr\xF6\xDF"
            "e");
}

TEST_F(ServerCallsTest, AsyncWriteWithEmptyDataSendsNothing) {
  WriteServiceList({"S"});
  FakePipeServer server("S", Answer(""));
  EXPECT_FALSE(WriteIPCValueASync("", -1, true, "CREATEPDF"));
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(server.Connections(), 0);
}

TEST_F(ServerCallsTest, AsyncWriteSendsCommandIndexAndDataWithoutSync) {
  WriteServiceList({"S"});
  FakePipeServer server("S", Answer(""));
  EXPECT_TRUE(WriteIPCValueASync("{\"a\":1}", 7, false, "PRINT"));
  ASSERT_TRUE(server.WaitForSessions(1));
  const std::string block = test::Record("COMMAND", test::Utf16Bytes("PRINT")) +
                            test::Record("INDEX", test::Int32Bytes(7)) +
                            test::Record("DATA", test::Utf16Bytes("{\"a\":1}"));
  EXPECT_EQ(server.Sessions()[0], test::Int64Bytes(0) + test::Int64Bytes(static_cast<int64_t>(block.size())) + block +
                                      std::string(8, '\xFF'));
}

TEST_F(ServerCallsTest, AsyncWriteIsAcknowledgedOnlyByAWholeReply) {
  WriteServiceList({"S"});
  std::atomic<int> calls{0};
  FakePipeServer server("S",
                        [&](const FakeRequest&) { return ++calls < 3 ? FakeReply::Hangup() : FakeReply::Text(""); });
  EXPECT_TRUE(WriteIPCValueASync("x", -1, false, "PRINT"));
  EXPECT_EQ(calls.load(), 3);
}

// A server that, while it is being asked, makes another thread switch the
// current server (as discovery finishing elsewhere would) and then hangs up.
FakePipeServer::Script SwitchToLiveAndHangUp() {
  return [](const FakeRequest&) {
    SetCurrentServerName("LIVE");
    return FakeReply::Hangup();
  };
}

TEST_F(ServerCallsTest, AsyncWriteChoosesTheServerForEveryAttempt) {
  WriteServiceList({"DEFAULT"});
  FakePipeServer switching("SWITCHING", SwitchToLiveAndHangUp());
  FakePipeServer live("LIVE", Answer(""));
  SetCurrentServerName("SWITCHING");
  EXPECT_TRUE(WriteIPCValueASync("x", -1, false, "PRINT"));
  EXPECT_EQ(switching.Connections(), 1);
  EXPECT_EQ(live.Connections(), 1);
}

TEST_F(ServerCallsTest, SyncReadKeepsTheServerItStartedWith) {
  WriteServiceList({"DEFAULT"});
  FakePipeServer switching("SWITCHING", SwitchToLiveAndHangUp());
  FakePipeServer live("LIVE", Answer("from live"));
  SetCurrentServerName("SWITCHING");
  std::string value;
  ReadIPCValueSync("DBPATH", false, "", value);
  EXPECT_EQ(value, "");
  EXPECT_EQ(switching.Connections(), 3);
  EXPECT_EQ(live.Connections(), 0);
}

TEST_F(ServerCallsTest, DiscoveryAdoptsTheListedServerThatIsOurParent) {
  SetParentProcessIdForTesting(4242);
  WriteServiceList({"FIRST", "SECOND"});
  FakePipeServer first("FIRST", Answer(Process("FIRST", 999)));
  FakePipeServer second("SECOND", Answer(Process("REPORTED-NAME", 4242)));
  EXPECT_EQ(DetectServerName(), "SECOND");
  EXPECT_EQ(GetCurrentServerName(), "SECOND");  // the list's line, not the reported name
  EXPECT_EQ(first.Connections(), 1);
}

TEST_F(ServerCallsTest, DiscoveryRejectsReplyWithThreeParts) {
  SetParentProcessIdForTesting(4242);
  WriteServiceList({"ONLY"});
  FakePipeServer only("ONLY", Answer(Process("ONLY", 4242) + "\x08" + "x"));
  EXPECT_EQ(DetectServerName(), "");
  EXPECT_EQ(GetCurrentServerName(), "");
}

TEST_F(ServerCallsTest, DiscoveryAdoptsNothingWhileTheDefaultServerAnswers) {
  SetParentProcessIdForTesting(4242);
  WriteServiceList({"DEFAULT", "OTHER"});
  std::atomic<int> calls{0};
  // The default server misses discovery's first question, then answers.
  FakePipeServer fallback("DEFAULT", [&](const FakeRequest&) {
    return ++calls == 1 ? FakeReply::Hangup() : FakeReply::Text(Process("DEFAULT", 1));
  });
  FakePipeServer other("OTHER", Answer(Process("OTHER", 555)));
  EXPECT_EQ(DetectServerName(), "");
  EXPECT_EQ(GetCurrentServerName(), "");
  EXPECT_GE(calls.load(), 2);
}

TEST_F(ServerCallsTest, DiscoveryAdoptsTheSingleAnswerWhenTheDefaultServerIsSilent) {
  SetParentProcessIdForTesting(4242);
  WriteServiceList({"DEAD", "OTHER"});
  FakePipeServer other("OTHER", Answer(Process("OTHER-REAL", 555)));
  EXPECT_EQ(DetectServerName(), "OTHER-REAL");
  EXPECT_EQ(GetCurrentServerName(), "OTHER-REAL");
}

TEST_F(ServerCallsTest, DiscoveryWithoutParentAsksNobody) {
  SetParentProcessIdForTesting(0);
  WriteServiceList({"FIRST", "SECOND"});
  FakePipeServer first("FIRST", Answer("first"));
  FakePipeServer second("SECOND", Answer(Process("SECOND", 1)));
  EXPECT_EQ(DetectServerName(), "");
  EXPECT_EQ(GetCurrentServerName(), "");
  EXPECT_EQ(first.Connections() + second.Connections(), 0);
  std::string value;
  ReadIPCValueSync("DBPATH", false, "", value);
  EXPECT_EQ(value, "first");  // later calls go to the list's first line
}

TEST_F(ServerCallsTest, DiscoveryWithoutListFileFindsNothing) {
  SetParentProcessIdForTesting(4242);
  EXPECT_EQ(DetectServerName(), "");
}

TEST(ServerCallsParent, RealParentProcessIsKnown) {
  SetParentProcessIdForTesting(std::nullopt);
  EXPECT_NE(GetParentProcessId(), 0u);
}

}  // namespace
}  // namespace wb
