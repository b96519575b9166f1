// wbk-localserver as the tool meets it: a real server process in a private
// TMPDIR, reached through the tool's own server calls. Covers the answers, the
// outputs (PDF read back with pdftotext, spool file, print journal), the service
// list, bad requests, load, a server killed mid-reply and --launch discovery.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "client/streams.h"
#include "ipc/ipc_client.h"
#include "ipc/message_data.h"
#include "ipc/server_calls.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/pipes.h"
#include "platform/processes.h"
#include "tests/ipc/memory_pipe.h"
#include "tests/server/server_process.h"
#include "tests/support/bytes_equal.h"
#include "tests/support/files.h"
#include "tests/support/sanitizers.h"
#include "tests/support/temp_env.h"

namespace wb {
namespace {

using test::Int64Bytes;
using test::ReadBytes;
using test::ServerProcess;

bool WaitForFile(const std::string& fileName, int timeoutMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    if (FileExistsEx(fileName)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

std::string Ask(const std::string& server, const std::string& command, bool* ok = nullptr) {
  bool complete = false;
  std::string value;
  QueryServerOnce(command, server, complete, value, "");
  if (ok) *ok = complete;
  return value;
}

// pdftotext's UTF-8 text of a PDF; nullopt when the tool is missing.
std::optional<std::string> PdfText(const std::string& pdf, const std::string& folder) {
  std::string text = folder + "pdf.txt";
  auto process = platform::StartProcess("pdftotext", {"-enc", "UTF-8", pdf, text});
  if (!process) return std::nullopt;
  int code = -1;
  if (!process->Wait(20000, code) || code != 0) return std::string("pdftotext failed");
  return ReadBytes(text);
}

class LocalServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = env_.Dir("db");
    app_ = env_.Dir("app");
    out_ = env_.Dir("out");
    order_ = out_ + "order.json";
    SaveTextAtomically(
        "{\"Order\":[{\"PrintName\":\"Rechnung 4711 M\xC3\xBCller\",\"PrintUID\":\"AB-12\",\"Summe\":119.5}]}", order_);
  }

  std::vector<std::string> StandardOptions() {
    return {"--database", db_, "--appdir", app_, "--order", order_, "--no-cups"};
  }

  test::TempEnv env_;
  std::string db_, app_, out_, order_;
};

TEST_F(LocalServerTest, AnswersFoldersProcessAndOrder) {
  ServerProcess server("E2E-ANSWERS", StandardOptions());
  ASSERT_TRUE(server.Running());
  EXPECT_EQ(Ask("E2E-ANSWERS", "DBPATH"), db_);
  EXPECT_EQ(Ask("E2E-ANSWERS", "APPPATH"), app_);
  EXPECT_EQ(Ask("E2E-ANSWERS", "SERVERPROCESS"), "E2E-ANSWERS\x08" + std::to_string(server.Id()));
  EXPECT_EQ(Ask("E2E-ANSWERS", "SIMPLEGETJSON"),
            "{\"Order\":[{\"PrintName\":\"Rechnung 4711 M\xFCller\",\"PrintUID\":\"AB-12\",\"Summe\":119.5}]}");

  // The order is read anew for every request.
  SaveTextAtomically("{\"Order\":[{\"PrintName\":\"Angebot 1\"}]}", order_);
  EXPECT_EQ(Ask("E2E-ANSWERS", "SIMPLEGETJSON"), "{\"Order\":[{\"PrintName\":\"Angebot 1\"}]}");

  bool ok = false;
  EXPECT_EQ(Ask("E2E-ANSWERS", "NO-SUCH-COMMAND", &ok), "");
  EXPECT_TRUE(ok);  // unknown commands are answered too
}

TEST_F(LocalServerTest, FolderAnswersEndWithTheDelimiterAndAbsentOptionsAreEmpty) {
  std::string bare = db_.substr(0, db_.size() - 1);
  ServerProcess server("E2E-BARE", {"--database", bare, "--no-cups"});
  ASSERT_TRUE(server.Running());
  EXPECT_EQ(Ask("E2E-BARE", "DBPATH"), db_);
  EXPECT_EQ(Ask("E2E-BARE", "APPPATH"), "");
  EXPECT_EQ(Ask("E2E-BARE", "SIMPLEGETJSON"), "{\"Order\":[]}");
}

TEST_F(LocalServerTest, PrintersComeFromTheFileOrTheDemoList) {
  std::string printers = out_ + "printers.json";
  SaveTextAtomically("{\"Printers\":[{\"Name\":\"Kasse\",\"Bins\":[{\"Bin\":\"Rolle\"}]}]}", printers);
  ServerProcess fromFile("E2E-PRN-FILE", {"--printers", printers});
  ServerProcess demo("E2E-PRN-DEMO", {"--no-cups"});
  ASSERT_TRUE(fromFile.Running());
  ASSERT_TRUE(demo.Running());
  EXPECT_EQ(Ask("E2E-PRN-FILE", "PRINTERS"), "{\"Printers\":[{\"Name\":\"Kasse\",\"Bins\":[{\"Bin\":\"Rolle\"}]}]}");
  std::string list = Ask("E2E-PRN-DEMO", "PRINTERS");
  EXPECT_NE(list.find("\"Name\": \"Demo Laserdrucker\""), std::string::npos) << list;
  EXPECT_NE(list.find("Demo B\xFCro-Farbdrucker"), std::string::npos) << list;
}

TEST_F(LocalServerTest, CreatePdfWritesTheOrderAndThenTheSpoolFile) {
  ServerProcess server("E2E-PDF", StandardOptions());
  ASSERT_TRUE(server.Running());
  SetCurrentServerName("E2E-PDF");
  const std::string pdf = out_ + "Rechnung 4711.pdf";
  const std::string spool = app_ + "SPOOLER/PDFX/Rechnung 4711.pdf";
  const std::string entry =
      "{\"Info\":\"<b>Kopie</b> ans Archiv\",\"Destination\":\"pdf\",\"SuperLayoutname\":"
      "\"Rechnung_Kopie\",\"Copies\":2,\"PDFFileName\":\"" +
      pdf + "\"}";
  EXPECT_TRUE(WriteIPCValueASync(entry, -1, false, "CREATEPDF"));
  SetCurrentServerName("");
  ASSERT_TRUE(WaitForFile(spool, 30000));
  ASSERT_TRUE(FileExistsEx(pdf));
  EXPECT_BYTES_EQ(ReadBytes(spool), ReadBytes(pdf));
  EXPECT_EQ(ReadBytes(pdf).substr(0, 5), "%PDF-");

  auto text = PdfText(pdf, out_);
  if (!text) GTEST_SKIP() << "pdftotext is not installed";
  EXPECT_NE(text->find("Rechnung 4711 M\xC3\xBCller"), std::string::npos) << *text;
  EXPECT_NE(text->find("Rechnung_Kopie"), std::string::npos) << *text;
  EXPECT_NE(text->find("Kopie ans Archiv"), std::string::npos) << *text;
  EXPECT_NE(text->find("AB-12"), std::string::npos) << *text;
}

TEST_F(LocalServerTest, CurrentPdfShowsTheWholeOrder) {
  ServerProcess server("E2E-CURRENT", StandardOptions());
  ASSERT_TRUE(server.Running());
  SetCurrentServerName("E2E-CURRENT");
  const std::string pdf = out_ + "komplett.pdf";
  EXPECT_TRUE(WriteIPCValueASync("{\"PDFFileName\":\"" + pdf + "\"}", -1, false, "CURRENTPDF"));
  SetCurrentServerName("");
  ASSERT_TRUE(WaitForFile(app_ + "SPOOLER/PDFX/komplett.pdf", 30000));
  auto text = PdfText(pdf, out_);
  if (!text) GTEST_SKIP() << "pdftotext is not installed";
  EXPECT_NE(text->find("Rechnung 4711 M\xC3\xBCller"), std::string::npos) << *text;
  EXPECT_NE(text->find("Vollst\xC3\xA4ndiges Dokument"), std::string::npos) << *text;
}

TEST_F(LocalServerTest, PrintIsRecordedInTheJournal) {
  ServerProcess server("E2E-PRINT", StandardOptions());
  ASSERT_TRUE(server.Running());
  SetCurrentServerName("E2E-PRINT");
  EXPECT_TRUE(
      WriteIPCValueASync("{\"Defaultprinter\":\"Demo Laserdrucker\",\"DefaultprinterBinName\":\"Fach 2\","
                         "\"DuplexType\":\"vertical\",\"Copies\":3,\"SuperLayoutname\":\"Lieferschein\"}",
                         -1, false, "PRINT"));
  SetCurrentServerName("");
  const std::string journal = app_ + "SPOOLER/PRINTJOURNAL.TXT";
  ASSERT_TRUE(WaitForFile(journal, 30000));
  // The file appears before its line is written whole.
  std::string line;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while ((line = ReadBytes(journal)).find("\r\n") == std::string::npos && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  for (const char* part : {"\tDrucker: Demo Laserdrucker\t", "\tSchacht: Fach 2\t", "\tDuplex: vertical\t",
                           "\tExemplare: 3\t", "\tLayout: Lieferschein\t", "CUPS abgeschaltet\r\n"}) {
    EXPECT_NE(line.find(part), std::string::npos) << part << " in " << line;
  }
}

TEST_F(LocalServerTest, ServiceListLineComesAndGoesWithoutTouchingOthers) {
  const std::string list = GetClientTempDir("") + LocalServiceListFile;
  TStringList lines;
  lines.Add("SUITE-SERVER");
  SaveListRetry(lines, list);
  ServerProcess server("E2E-LIST", {"--no-cups"});
  ASSERT_TRUE(server.Running());
  lines.Clear();
  LoadListRetry(lines, list);
  ASSERT_EQ(lines.Count(), 2);
  EXPECT_EQ(lines.Get(0), "SUITE-SERVER");  // the default server stays first
  EXPECT_EQ(lines.Get(1), "E2E-LIST");

  EXPECT_EQ(server.Stop(), 0);
  lines.Clear();
  LoadListRetry(lines, list);
  ASSERT_EQ(lines.Count(), 1);
  EXPECT_EQ(lines.Get(0), "SUITE-SERVER");
  TIPCClient client;
  client.SetServerName("E2E-LIST");
  EXPECT_FALSE(client.Connect(1000));
  EXPECT_EQ(client.ErrorCode(), platform::kErrorFileNotFound);
}

TEST_F(LocalServerTest, SecondServerOnTheSamePipeIsRefused) {
  ServerProcess first("E2E-TWICE", {"--no-cups"});
  ASSERT_TRUE(first.Running());
  auto second = platform::StartProcess(test::ServerBinary(), {"--pipe", "E2E-TWICE", "--no-cups"});
  ASSERT_TRUE(second);
  int code = 0;
  ASSERT_TRUE(second->Wait(20000, code));
  EXPECT_EQ(code, 1);
  EXPECT_EQ(Ask("E2E-TWICE", "SERVERPROCESS"), "E2E-TWICE\x08" + std::to_string(first.Id()));
}

// Sends raw bytes on a fresh connection; true when the server then closed it
// without a reply.
bool ClosedWithoutReply(const std::string& server, const std::string& bytes) {
  auto pipe = platform::OpenPipe(platform::LocalPipePath(server));
  if (!pipe || !pipe->Write(bytes.data(), static_cast<int64_t>(bytes.size()), 5000)) return false;
  char byte;
  return pipe->Read(&byte, 1, 5000) < 0 && platform::LastError() == platform::kErrorBrokenPipe;
}

TEST_F(LocalServerTest, MalformedOrOversizedRequestClosesOnlyThatConnection) {
  ServerProcess server("E2E-BAD", StandardOptions());
  ASSERT_TRUE(server.Running());
  // A client that keeps its connection open meanwhile is not disturbed.
  auto bystander = platform::OpenPipe(platform::LocalPipePath("E2E-BAD"));
  ASSERT_TRUE(bystander);

  struct Case {
    const char* label;
    std::string bytes;
  } cases[] = {
      {"negative ID length", Int64Bytes(-7)},
      {"huge ID length", Int64Bytes(INT64_MAX)},
      {"negative data size", Int64Bytes(0) + Int64Bytes(-1)},
      {"data size above 256 MiB", Int64Bytes(0) + Int64Bytes(int64_t{257} << 20)},
      {"frame cut short", Int64Bytes(0) + Int64Bytes(100) + "abc"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    if (std::string(c.label) == "frame cut short") {
      // The client goes away in the middle of its request.
      auto pipe = platform::OpenPipe(platform::LocalPipePath("E2E-BAD"));
      ASSERT_TRUE(pipe);
      pipe->Write(c.bytes.data(), static_cast<int64_t>(c.bytes.size()), 5000);
    } else {
      EXPECT_TRUE(ClosedWithoutReply("E2E-BAD", c.bytes));
    }
    EXPECT_EQ(Ask("E2E-BAD", "DBPATH"), db_);
  }

  IMessageDataPtr request = CreateMessageData();
  request->GetData().WriteString(u"COMMAND", u"DBPATH");
  TIPCClient client;
  client.AttachPipe(std::move(bystander));
  IMessageDataPtr reply;
  client.Exchange(request, reply);
  ASSERT_TRUE(client.ReplyComplete());
  EXPECT_EQ(platform::WideToAnsi(reply->GetData().ReadString(u"DATA")), db_);
}

TEST_F(LocalServerTest, ManyClientsAtOnceAreAllAnsweredCorrectly) {
  ServerProcess server("E2E-LOAD", StandardOptions());
  ASSERT_TRUE(server.Running());
  constexpr int kClients = 50;
  constexpr int kRequests = test::StressCount(200);  // every client stays concurrent with the others
  std::atomic<int> wrong{0};
  std::vector<std::thread> clients;
  for (int c = 0; c < kClients; ++c) {
    clients.emplace_back([&, c] {
      for (int r = 0; r < kRequests; ++r) {
        // Alternate commands so that replies could not pass for one another.
        bool folder = (c + r) % 2 == 0;
        bool ok = false;
        std::string value = Ask("E2E-LOAD", folder ? "DBPATH" : "APPPATH", &ok);
        if (!ok || value != (folder ? db_ : app_)) ++wrong;
      }
    });
  }
  for (auto& client : clients) client.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(Ask("E2E-LOAD", "SERVERPROCESS"), "E2E-LOAD\x08" + std::to_string(server.Id()));
}

// Hundreds of the tool's exchanges, each on a connection of its own, one after
// another on a few threads at once: every connection must be served. One that the
// server never serves shows as a reply that does not come; with the reply
// time-out lowered it fails the case within seconds and names the exchange.
// This one also runs under Wine, where the listener keeps several instances of
// the pipe waiting and a lost wake-up would leave a client without an answer.
TEST_F(LocalServerTest, EveryConnectionOfALongRunIsServed) {
  ServerProcess server("E2E-STRESS", StandardOptions());
  ASSERT_TRUE(server.Running());
  SetReplyIdleTimeoutMsForTesting(15000);
  constexpr int kThreads = 4;
  constexpr int kConnectionsEach = 150;
  constexpr int kGiveUpAfter = 3;  // failures, so that a broken listener ends the case soon
  const std::pair<const char*, std::string> exchanges[] = {
      {"DBPATH", db_},
      {"APPPATH", app_},
      {"SIMPLEGETJSON",
       "{\"Order\":[{\"PrintName\":\"Rechnung 4711 M\xFCller\",\"PrintUID\":\"AB-12\",\"Summe\":119.5}]}"}};
  std::atomic<int> failures{0};
  std::mutex lock;
  std::string report;
  auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> clients;
  for (int t = 0; t < kThreads; ++t) {
    clients.emplace_back([&, t] {
      for (int i = 0; i < kConnectionsEach && failures.load() < kGiveUpAfter; ++i) {
        const auto& [command, expected] = exchanges[(t + i) % 3];
        auto begun = std::chrono::steady_clock::now();
        bool ok = false;
        std::string value = Ask("E2E-STRESS", command, &ok);
        if (ok && value == expected) continue;
        ++failures;
        auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begun);
        std::lock_guard<std::mutex> guard(lock);
        report += "thread " + std::to_string(t) + ", exchange " + std::to_string(i) + " (" + command +
                  "): " + (ok ? "wrong reply \"" + value + "\"" : std::string("no reply")) + " after " +
                  std::to_string(took.count()) + " ms\n";
      }
    });
  }
  for (auto& client : clients) client.join();
  SetReplyIdleTimeoutMsForTesting(-1);
  EXPECT_EQ(failures.load(), 0) << report;
  auto took = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start);
  std::printf("%d connections in %lld s\n", kThreads * kConnectionsEach, static_cast<long long>(took.count()));
}

// Short-lived servers one after another, two at a time, each asked what the
// tool asks at start and then stopped: every exchange must be answered (ok, not
// just an empty text) and every server must end when asked. A server whose
// threads got in each other's way showed as a reply that never came and a
// server that no longer ended. WB_STRESS_LIFETIMES raises the count for a
// stress run.
TEST_F(LocalServerTest, ServersStartedOneAfterAnotherAnswerEveryExchangeAndEnd) {
  const char* countText = std::getenv("WB_STRESS_LIFETIMES");
  const int lifetimes = countText ? std::atoi(countText) : 8;
  SetReplyIdleTimeoutMsForTesting(15000);
  const std::string bare = db_.substr(0, db_.size() - 1);
  const std::pair<const char*, std::string> exchanges[] = {
      {"DBPATH", db_}, {"APPPATH", ""}, {"SIMPLEGETJSON", "{\"Order\":[]}"}};
  std::atomic<int> failures{0};
  std::mutex lock;
  std::string report;
  auto fail = [&](const std::string& line) {
    ++failures;
    std::lock_guard<std::mutex> guard(lock);
    report += line + "\n";
  };
  auto worker = [&](int w) {
    for (int i = 0; i < lifetimes && failures.load() < 3; ++i) {
      const std::string name = "E2E-LIFE-" + std::to_string(w) + "-" + std::to_string(i);
      const std::string where = "server " + name + ": ";
      ServerProcess server(name, {"--database", bare, "--no-cups"});
      if (!server.Running()) {
        fail(where + "did not come up");
        continue;
      }
      for (const auto& [command, expected] : exchanges) {
        auto begun = std::chrono::steady_clock::now();
        bool ok = false;
        std::string value = Ask(name, command, &ok);
        if (ok && value == expected) continue;
        auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begun);
        fail(where + command + (ok ? " wrong reply \"" + value + "\"" : std::string(" no reply")) + " after " +
             std::to_string(took.count()) + " ms");
      }
      int code = server.Stop(20000);
      if (code != 0) fail(where + "stop ended with " + std::to_string(code));
    }
  };
  std::thread first(worker, 0), second(worker, 1);
  first.join();
  second.join();
  SetReplyIdleTimeoutMsForTesting(-1);
  EXPECT_EQ(failures.load(), 0) << report;
}

// A pipe that kills the server as soon as the client starts reading the reply's
// data block, so the server dies in the middle of its reply.
class KillOnDataPipe final : public platform::PipeHandle {
 public:
  KillOnDataPipe(std::unique_ptr<platform::PipeHandle> pipe, ServerProcess& server)
      : pipe_(std::move(pipe)), server_(server) {}
  int64_t Read(void* buffer, int64_t count, int timeoutMs) override {
    if (++reads_ == 3) server_.Kill();  // ID length, data size, then the data
    return pipe_->Read(buffer, count, timeoutMs);
  }
  bool Write(const void* buffer, int64_t count, int timeoutMs) override {
    return pipe_->Write(buffer, count, timeoutMs);
  }
  int64_t BytesAvailable() override { return pipe_->BytesAvailable(); }

 private:
  std::unique_ptr<platform::PipeHandle> pipe_;
  ServerProcess& server_;
  int reads_ = 0;
};

TEST_F(LocalServerTest, ServerKilledMidReplyLeavesAnIncompleteExchange) {
  const std::string printers = out_ + "big.json";
  // A 48 MiB reply (2 MiB under ThreadSanitizer, whose server would spend the
  // time bound below on building it): far more than the socket holds, so the
  // server is still writing when it dies.
  SaveTextAtomically(std::string((test::kThreadSanitizer ? 1 : 24) << 20, 'x'), printers);
  ServerProcess server("E2E-KILL", {"--printers", printers});
  ASSERT_TRUE(server.Running());
  auto pipe = platform::OpenPipe(platform::LocalPipePath("E2E-KILL"));
  ASSERT_TRUE(pipe);
  TIPCClient client;
  client.AttachPipe(std::make_unique<KillOnDataPipe>(std::move(pipe), server));
  IMessageDataPtr request = CreateMessageData();
  request->GetData().WriteString(u"COMMAND", u"PRINTERS");
  IMessageDataPtr reply;
  auto start = std::chrono::steady_clock::now();
  client.Exchange(request, reply);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_FALSE(client.ReplyComplete());
  EXPECT_EQ(client.ErrorText(), "ReadFile failed while reading message data");
  EXPECT_EQ(client.ErrorCode(), platform::kErrorBrokenPipe);
  client.Disconnect();

  // Killed outright, it left its socket behind: a new client is told at once
  // that there is no such pipe.
  TIPCClient late;
  late.SetServerName("E2E-KILL");
  start = std::chrono::steady_clock::now();
  EXPECT_FALSE(late.Connect(5000));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
  EXPECT_EQ(late.ErrorCode(), platform::kErrorFileNotFound);
  // And a new server takes the name over.
  ServerProcess successor("E2E-KILL", {"--no-cups"});
  EXPECT_TRUE(successor.Running());
}

// Runs inside a process that wbk-localserver started with --launch (see below):
// discovery must find that server as this process's parent.
TEST(LaunchedByServer, DiscoveryFindsTheParentServer) {
  const char* expected = std::getenv("WB_EXPECT_SERVER");
  if (!expected) GTEST_SKIP() << "only run when started by wbk-localserver --launch";
  EXPECT_EQ(DetectServerName(), expected);
  EXPECT_EQ(GetCurrentServerName(), expected);
  std::string value;
  ReadIPCValueSync("DBPATH", false, "", value);
  EXPECT_EQ(value, std::getenv("WB_EXPECT_DBPATH"));
}

TEST_F(LocalServerTest, LaunchedProgramFindsItsServerAndEndsIt) {
  // Another server is listed first, so discovery has to pick by process id.
  ServerProcess other("E2E-OTHER", {"--no-cups"});
  ASSERT_TRUE(other.Running());
  env_.Set("WB_EXPECT_SERVER", "E2E-LAUNCH");
  env_.Set("WB_EXPECT_DBPATH", db_);
  ServerProcess server("E2E-LAUNCH", {"--database", db_, "--no-cups", "--launch",
                                      platform::GetModuleDir() + "test_server", "--gtest_filter=LaunchedByServer.*"});
  EXPECT_EQ(server.WaitForExit(60000), 0);  // the child's exit code: its test passed
  EXPECT_FALSE(test::ServiceListHas("E2E-LAUNCH"));
  EXPECT_TRUE(test::ServiceListHas("E2E-OTHER"));
}

}  // namespace
}  // namespace wb
