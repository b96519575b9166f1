// The pipe client: the byte sequence of an exchange, reassembly of a reply, every
// failure point with its text, the limits on announced sizes, the idle time-out,
// and connecting to real pipes (none there, a stale one, a listening one).
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "ipc/ipc_client.h"
#include "ipc/message_data.h"
#include "ipc/server_calls.h"
#include "ipc/wire_format.h"
#include "platform/files.h"
#include "platform/pipes.h"
#include "tests/ipc/fake_pipe_server.h"
#include "tests/ipc/memory_pipe.h"
#include "tests/support/bytes_equal.h"
#include "tests/support/temp_env.h"

namespace wb {
namespace {

using test::HexBytes;
using test::Int64Bytes;
using test::MemoryPipe;

// Runs one exchange over an in-memory pipe that delivers replyBytes.
struct MemoryExchange {
  MemoryPipe::Shared pipe;
  TIPCClient client;
  IMessageDataPtr reply;

  MemoryExchange(const std::string& replyBytes, const IMessageDataPtr& request, int64_t maxPiece = 1 << 20,
                 bool timeoutAtEnd = false) {
    auto memory = std::make_unique<MemoryPipe>(replyBytes, &pipe, maxPiece);
    if (timeoutAtEnd) memory->EndWithTimeout();
    client.AttachPipe(std::move(memory));
    client.Exchange(request, reply);
  }
};

std::string DataBlock(const IMessageDataPtr& message) {
  TMemoryStream& stream = message->GetData().Stream();
  return std::string(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

TEST(IPCClientWire, EmptyRequestIsSixteenZeroBytes) {
  MemoryExchange exchange(Int64Bytes(0) + Int64Bytes(0), CreateMessageData());
  EXPECT_BYTES_EQ(exchange.pipe.Written, std::string(16, '\0'));
  ASSERT_TRUE(exchange.client.ReplyComplete());
}

TEST(IPCClientWire, ZeroZeroReplyIsComplete) {
  MemoryExchange exchange(Int64Bytes(0) + Int64Bytes(0), CreateMessageData());
  ASSERT_TRUE(exchange.reply);
  EXPECT_EQ(exchange.reply->GetID(), "");
  EXPECT_EQ(exchange.reply->GetData().Stream().Size(), 0);
  EXPECT_EQ(exchange.client.ErrorCode(), 0u);
}

TEST(IPCClientWire, RequestIdAndBlockGoOutUnchanged) {
  IMessageDataPtr request = CreateMessageData();
  request->SetID("Q1");
  request->GetData().WriteString(u"DATA", u"ab");
  MemoryExchange exchange(Int64Bytes(0) + Int64Bytes(0), request);
  EXPECT_BYTES_EQ(exchange.pipe.Written, Int64Bytes(2) + "Q1" + Int64Bytes(24) + DataBlock(request));
}

TEST(IPCClientWire, LargeRequestIsSentWhole) {
  IMessageDataPtr request = CreateMessageData();
  request->GetData().WriteString(u"DATA", std::u16string(100000, u'x'));  // three chunks
  MemoryExchange exchange(Int64Bytes(0) + Int64Bytes(0), request);
  EXPECT_BYTES_EQ(exchange.pipe.Written.substr(16), DataBlock(request));
}

TEST(IPCClientWire, ReplyArrivingInPiecesIsReassembledInOrder) {
  std::string block(65536 * 2 + 1, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7 + 3);
  MemoryExchange exchange(Int64Bytes(3) + "RID" + Int64Bytes(static_cast<int64_t>(block.size())) + block,
                          CreateMessageData(), 40000);
  ASSERT_TRUE(exchange.client.ReplyComplete());
  EXPECT_EQ(exchange.reply->GetID(), "RID");
  EXPECT_BYTES_EQ(DataBlock(exchange.reply), block);
  EXPECT_EQ(exchange.reply->GetData().Stream().Position(), 0);
  EXPECT_GE(exchange.pipe.Reads, 4);
}

TEST(IPCClientWire, NegativeSizesCarryNoBytes) {
  MemoryExchange exchange(Int64Bytes(-5) + Int64Bytes(-1), CreateMessageData());
  ASSERT_TRUE(exchange.client.ReplyComplete());
  EXPECT_EQ(exchange.reply->GetID(), "");
  EXPECT_EQ(exchange.reply->GetData().Stream().Size(), 0);
}

// Every way a reply can break, with the failure point it is reported at.
TEST(IPCClientWire, BrokenRepliesAreIncompleteWithTheirFailurePoint) {
  const std::string block = test::Record("DATA", test::Utf16Bytes("abc"));
  struct Case {
    const char* label;
    std::string reply;
    const char* errorText;
    uint32_t errorCode;
  } cases[] = {
      {"nothing", "", "ReadFile failed while reading message ID length", platform::kErrorBrokenPipe},
      {"half an ID length", Int64Bytes(0).substr(0, 4), "ReadFile failed while reading message ID length",
       platform::kErrorBrokenPipe},
      {"ID cut short", Int64Bytes(10) + "abc", "ReadFile failed while reading message ID", platform::kErrorBrokenPipe},
      {"no data size", Int64Bytes(0), "ReadFile failed while reading message data size", platform::kErrorBrokenPipe},
      {"data cut short", Int64Bytes(0) + Int64Bytes(100) + block, "ReadFile failed while reading message data",
       platform::kErrorBrokenPipe},
      {"data size above the limit", Int64Bytes(0) + Int64Bytes(ipc::kMaxDataSize + 1),
       "ReadFile failed while reading message data size", kErrorInvalidData},
      {"largest data size", Int64Bytes(0) + Int64Bytes(INT64_MAX), "ReadFile failed while reading message data size",
       kErrorInvalidData},
      {"ID length above the limit", Int64Bytes(ipc::kMaxIdLength + 1), "ReadFile failed while reading message ID",
       kErrorInvalidData},
      {"more bytes than announced", Int64Bytes(0) + Int64Bytes(static_cast<int64_t>(block.size())) + block + "extra",
       "ReadFile failed while reading message data", kErrorInvalidData},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    MemoryExchange exchange(c.reply, CreateMessageData(), 7);
    EXPECT_FALSE(exchange.client.ReplyComplete());
    EXPECT_EQ(exchange.client.ErrorText(), c.errorText);
    EXPECT_EQ(exchange.client.ErrorCode(), c.errorCode);
    ASSERT_TRUE(exchange.reply);  // handed over before the reply was read
  }
}

TEST(IPCClientWire, PartlyReceivedBlockKeepsOnlyWhatArrived) {
  const std::string block = test::Record("DATA", test::Utf16Bytes("abcdef"));
  MemoryExchange exchange(Int64Bytes(0) + Int64Bytes(1000) + block, CreateMessageData());
  EXPECT_FALSE(exchange.client.ReplyComplete());
  EXPECT_BYTES_EQ(DataBlock(exchange.reply), block);
  EXPECT_EQ(exchange.reply->GetData().ReadString(u"DATA"), u"abcdef");
}

TEST(IPCClientWire, SilentServerEndsTheExchangeAsTimedOut) {
  MemoryExchange exchange(Int64Bytes(0), CreateMessageData(), 1 << 20, true);
  EXPECT_FALSE(exchange.client.ReplyComplete());
  EXPECT_EQ(exchange.client.ErrorText(), "ReadFile failed while reading message data size");
  EXPECT_EQ(exchange.client.ErrorCode(), platform::kErrorWaitTimeout);
}

TEST(IPCClientWire, FailedWriteEndsTheExchangeWithoutReply) {
  MemoryPipe::Shared shared;
  auto pipe = std::make_unique<MemoryPipe>(Int64Bytes(0) + Int64Bytes(0), &shared);
  pipe->FailWrites();
  TIPCClient client;
  client.AttachPipe(std::move(pipe));
  IMessageDataPtr reply = CreateMessageData();
  client.Exchange(CreateMessageData(), reply);
  EXPECT_FALSE(client.ReplyComplete());
  EXPECT_FALSE(reply);
  EXPECT_EQ(client.ErrorText(), "WriteFile failed while writing message ID");
  EXPECT_EQ(client.ErrorCode(), platform::kErrorNoData);
}

TEST(IPCClientWire, DisconnectSendsTheEndMarkerAlsoAfterAFailure) {
  MemoryPipe::Shared shared;
  TIPCClient client;
  client.AttachPipe(std::make_unique<MemoryPipe>("", &shared));
  IMessageDataPtr reply;
  client.Exchange(CreateMessageData(), reply);
  ASSERT_FALSE(client.ReplyComplete());
  client.Disconnect();
  EXPECT_BYTES_EQ(shared.Written, std::string(16, '\0') + std::string(8, '\xFF'));
  EXPECT_FALSE(client.Connected());
  client.Disconnect();  // nothing more without a pipe
  EXPECT_EQ(shared.Written.size(), 24u);
}

TEST(IPCClientNames, ServerNameRebuildsThePipePath) {
  TIPCClient client;
  EXPECT_EQ(client.ComputerName(), ".");
  EXPECT_EQ(client.PipeName(), "\\\\.\\pipe\\");
  client.SetServerName("WBK-1");
  EXPECT_EQ(client.PipeName(), "\\\\.\\pipe\\WBK-1");
  client.SetComputerName("host");
  EXPECT_EQ(client.PipeName(), "\\\\.\\pipe\\WBK-1");
  client.SetServerName("WBK-2");
  EXPECT_EQ(client.PipeName(), "\\\\host\\pipe\\WBK-2");
}

class IPCClientPipes : public ::testing::Test {
 protected:
  test::TempEnv env_;
};

TEST_F(IPCClientPipes, NoServerFailsPromptlyAndExchangeFailsAtFirstWrite) {
  TIPCClient client;
  client.SetServerName("NOBODY");
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(client.Connect(5000));
  auto spent = std::chrono::steady_clock::now() - start;
  EXPECT_LT(spent, std::chrono::milliseconds(100));
  EXPECT_EQ(client.ErrorText(), "WaitNamedPipe failed while wating for the pipe");
  EXPECT_EQ(client.ErrorCode(), platform::kErrorFileNotFound);

  IMessageDataPtr reply;
  client.ConnectAndExchange(CreateMessageData(), 5000, reply);
  EXPECT_FALSE(client.ReplyComplete());
  EXPECT_FALSE(reply);
  EXPECT_EQ(client.ErrorText(), "WriteFile failed while writing message ID");
  EXPECT_EQ(client.ErrorCode(), platform::kErrorInvalidHandle);
}

TEST_F(IPCClientPipes, ImpossibleNamesAreNoSuchPipe) {
  for (const char* name : {"", ".", "..", "a/b"}) {
    SCOPED_TRACE(name);
    TIPCClient client;
    client.SetServerName(name);
    EXPECT_FALSE(client.Connect(5000));
    EXPECT_EQ(client.ErrorCode(), platform::kErrorFileNotFound);
  }
}

TEST_F(IPCClientPipes, TimeOutOfZeroMakesNoAttempt) {
  test::FakePipeServer server("ZERO", [](const test::FakeRequest&) { return test::FakeReply::Text("x"); });
  TIPCClient client;
  client.SetServerName("ZERO");
  EXPECT_FALSE(client.Connect(0));
  EXPECT_EQ(client.ErrorText(), "IPC client failed with WAIT timeout");
  EXPECT_EQ(client.ErrorCode(), platform::kErrorWaitTimeout);
}

TEST_F(IPCClientPipes, ListeningServerReceivesTheDbpathRequestAndTheEndMarker) {
  test::FakePipeServer server("DBSERVER", [](const test::FakeRequest&) { return test::FakeReply::Text("/db/"); });
  bool ok = false;
  std::string value;
  QueryServerOnce("DBPATH", "DBSERVER", ok, value, "");
  EXPECT_TRUE(ok);
  EXPECT_EQ(value, "/db/");
  ASSERT_TRUE(server.WaitForSessions(1));
  const std::string expected = HexBytes(
      "00 00 00 00 00 00 00 00"
      "55 00 00 00 00 00 00 00"
      "0E 00 00 00 | 43 00 4F 00 4D 00 4D 00 41 00 4E 00 44 00 | 0C 00 00 00 00 00 00 00 |"
      "44 00 42 00 50 00 41 00 54 00 48 00"
      "0A 00 00 00 | 49 00 4E 00 44 00 45 00 58 00 | 04 00 00 00 00 00 00 00 | FF FF FF FF"
      "08 00 00 00 | 53 00 59 00 4E 00 43 00 | 01 00 00 00 00 00 00 00 | 01");
  ASSERT_EQ(expected.size(), 101u);
  EXPECT_EQ(server.Sessions()[0], expected + std::string(8, '\xFF'));
}

TEST_F(IPCClientPipes, ServerThatNeverAnswersIsGivenUpOn) {
  SetReplyIdleTimeoutMsForTesting(300);
  test::FakePipeServer server("MUTE", [](const test::FakeRequest&) { return test::FakeReply::Silence(); });
  TIPCClient client;
  client.SetServerName("MUTE");
  IMessageDataPtr reply;
  auto start = std::chrono::steady_clock::now();
  client.ConnectAndExchange(CreateMessageData(), 5000, reply);
  auto spent = std::chrono::steady_clock::now() - start;
  SetReplyIdleTimeoutMsForTesting(-1);
  EXPECT_FALSE(client.ReplyComplete());
  EXPECT_EQ(client.ErrorText(), "ReadFile failed while reading message ID length");
  EXPECT_EQ(client.ErrorCode(), platform::kErrorWaitTimeout);
  EXPECT_GE(spent, std::chrono::milliseconds(250));
  EXPECT_LT(spent, std::chrono::milliseconds(3000));
}

TEST_F(IPCClientPipes, ServerClosingMidReplyLeavesAnIncompleteExchange) {
  std::string cut = Int64Bytes(0) + Int64Bytes(5000) + std::string(100, 'x');
  test::FakePipeServer server("CUT", [&](const test::FakeRequest&) { return test::FakeReply::RawBytes(cut); });
  TIPCClient client;
  client.SetServerName("CUT");
  IMessageDataPtr reply;
  client.ConnectAndExchange(CreateMessageData(), 5000, reply);
  EXPECT_FALSE(client.ReplyComplete());
  EXPECT_EQ(client.ErrorText(), "ReadFile failed while reading message data");
  EXPECT_EQ(client.ErrorCode(), platform::kErrorBrokenPipe);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->GetData().Stream().Size(), 100);
}

}  // namespace
}  // namespace wb
