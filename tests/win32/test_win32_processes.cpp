// Processes on Windows: a child finds the test through the toolhelp snapshot
// (and so finds the test's pipe server in discovery), arguments reach a child
// exactly, and a child asked to stop gets to clean up.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "client/client_dirs.h"
#include "client/file_helpers.h"
#include "client/local_service_list.h"
#include "ipc/server_calls.h"
#include "platform/processes.h"
#include "support/bytes_equal.h"
#include "support/temp_env.h"
#include "tests/ipc/fake_pipe_server.h"
#include "win32/win32_test_support.h"

namespace wb {
namespace {

int WaitForChild(platform::ChildProcess& child) {
  int code = -1;
  EXPECT_TRUE(child.Wait(30000, code));
  return code;
}

TEST(Win32Processes, AChildFindsTheTestAsItsParent) {
  test::TempEnv env;
  const std::string out = env.Dir("out") + "parent.txt";
  auto child = test::StartChild("parent-id", out);
  ASSERT_TRUE(child) << platform::LastError();
  EXPECT_EQ(WaitForChild(*child), 0);
  EXPECT_BYTES_EQ(test::ReadBytes(out), std::to_string(platform::GetCurrentProcessId()));
  EXPECT_NE(child->Id(), platform::GetCurrentProcessId());
}

TEST(Win32Processes, DiscoveryInTheChildPicksTheServerOfItsParent) {
  test::TempEnv env;
  const std::string self = std::to_string(platform::GetCurrentProcessId());
  const std::string stranger = "4";  // the system process, never the test
  test::FakePipeServer other("WIN32-DISCOVER-OTHER-" + self, [&](const test::FakeRequest&) {
    return test::FakeReply::Text("WIN32-DISCOVER-OTHER-" + self + kServerProcessSeparator + stranger);
  });
  test::FakePipeServer mine("WIN32-DISCOVER-MINE-" + self, [&](const test::FakeRequest&) {
    return test::FakeReply::Text("WIN32-DISCOVER-MINE-" + self + kServerProcessSeparator + self);
  });
  TStringList lines;
  lines.Add("WIN32-DISCOVER-OTHER-" + self);
  lines.Add("WIN32-DISCOVER-MINE-" + self);
  SaveListRetry(lines, GetClientTempDir("") + LocalServiceListFile);

  const std::string out = env.Dir("out") + "detected.txt";
  auto child = test::StartChild("detect", out);
  ASSERT_TRUE(child);
  EXPECT_EQ(WaitForChild(*child), 0);
  EXPECT_BYTES_EQ(test::ReadBytes(out), "WIN32-DISCOVER-MINE-" + self);
}

TEST(Win32Processes, ArgumentsReachTheChildExactly) {
  test::TempEnv env;
  const std::string out = env.Dir("out") + "args.txt";
  const std::vector<std::string> arguments = {"plain",        "mit Leerzeichen",        "",         "\"zitiert\"",
                                              "C:\\Ordner\\", "C:\\Ordner mit Blank\\", "a\\\\\"b", "\ttab"};
  auto child = test::StartChild("args", out, arguments);
  ASSERT_TRUE(child);
  EXPECT_EQ(WaitForChild(*child), 0);
  std::string expected;
  for (const std::string& argument : arguments) expected += argument + "\n";
  EXPECT_BYTES_EQ(test::ReadBytes(out), expected);
}

TEST(Win32Processes, AChildAskedToStopCleansUpAndEnds) {
  test::TempEnv env;
  const std::string out = env.Dir("out") + "stop.txt";
  auto child = test::StartChild("wait-stop", out);
  ASSERT_TRUE(child);
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (test::ReadBytes(out + ".ready").empty() && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  child->Terminate();
  EXPECT_EQ(WaitForChild(*child), 7);
  EXPECT_BYTES_EQ(test::ReadBytes(out), "stopped");
}

TEST(Win32Processes, KillEndsAChildAtOnce) {
  test::TempEnv env;
  const std::string out = env.Dir("out") + "killed.txt";
  auto child = test::StartChild("wait-stop", out);
  ASSERT_TRUE(child);
  child->Kill();
  EXPECT_EQ(WaitForChild(*child), 1);
  int code = 0;
  EXPECT_TRUE(child->Wait(0, code));
}

TEST(Win32Processes, AMissingProgramIsReported) {
  EXPECT_FALSE(platform::StartProcess("C:\\nirgends\\gibt-es-nicht.exe", {}));
  const uint32_t error = platform::LastError();
  EXPECT_TRUE(error == platform::kErrorFileNotFound || error == platform::kErrorPathNotFound) << error;
}

}  // namespace
}  // namespace wb
