// End to end: wbk-localserver starts the real program offscreen with an
// entry's UID, as a desktop shortcut would (with the name); the program finds
// its server, produces the PDF, hands it to the desktop and ends with status 0.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "app_fixture.h"
#include "platform/codepage.h"
#include "platform/processes.h"

using namespace wb;
using namespace wb::test;

namespace {

// Ends every process whose environment points into this test's private
// folders: a program that did not end would otherwise outlive its server.
void EndProcessesOf(const std::filesystem::path& root) {
  const std::string marker = "TMPDIR=" + (root / "tmp").string();
  for (const auto& item : std::filesystem::directory_iterator("/proc")) {
    const std::string name = item.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::string environment = ReadBytes(item.path().string() + "/environ");
    if (environment.find(marker + '\0') != std::string::npos || environment.ends_with(marker))
      ::kill(std::stoi(name), SIGKILL);
  }
}

std::string BinaryPath(const std::string& name) {
  const char* dir = std::getenv("WB_BIN_DIR");
  return (dir && *dir ? std::string(dir) + "/" : platform::GetModuleDir()) + name;
}

class DirectStartEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::access(BinaryPath("mehrfachausgabe").c_str(), X_OK) != 0 ||
        ::access(BinaryPath("wbk-localserver").c_str(), X_OK) != 0)
      GTEST_SKIP() << "mehrfachausgabe or wbk-localserver not built";
    database = env.Dir("db");
    application = env.Dir("app");
    WriteBytes(database + "Sonderdruck.V1/sdr.json",
               "{\"LogFileName\":\"<TMP>log.json\",\"Items\":["
               "{\"Info\":\"Druck\",\"Destination\":\"print\",\"UID\":\"U-PRINT\"},"
               "{\"Info\":\"<b>Angebot</b> als PDF\",\"Destination\":\"pdf\",\"SuperLayoutname\":\"Angebot\","
               "\"Copies\":1,\"Forbidden\":false,\"UID\":\"6B1D2C3E-0000-4000-8000-0123456789AB\"}]}");
    order = env.Dir("order") + "order.json";
    WriteBytes(order, "{\"Order\":[{\"PrintName\":\"Angebot 4711\",\"PrintUID\":\"A/17\"}]}");
    // The desktop's opener, first on PATH, records what it is asked to open.
    const std::string bin = env.Dir("bin");
    record = env.Root().string() + "/opened.txt";
    WriteBytes(bin + "xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + record + "'\n");
    ::chmod((bin + "xdg-open").c_str(), 0755);
    const char* path = std::getenv("PATH");
    env.Set("PATH", bin + ":" + (path ? path : "/usr/bin:/bin"));
    env.Set("QT_QPA_PLATFORM", "offscreen");
    const std::string runtime = env.Dir("runtime");
    ::chmod(runtime.c_str(), 0700);
    env.Set("XDG_RUNTIME_DIR", runtime);
  }

  // Runs the server with the program launched with the arguments; the exit code.
  int RunLaunched(const std::vector<std::string>& programArguments) {
    std::vector<std::string> arguments = {"--database",
                                          database,
                                          "--appdir",
                                          application,
                                          "--order",
                                          order,
                                          "--no-cups",
                                          "--pipe",
                                          "E2E-DIRECT-" + std::to_string(::getpid()),
                                          "--launch",
                                          BinaryPath("mehrfachausgabe")};
    arguments.insert(arguments.end(), programArguments.begin(), programArguments.end());
    auto server = platform::StartProcess(BinaryPath("wbk-localserver"), arguments);
    if (!server) return -1;
    int code = -1;
    if (!server->Wait(90000, code)) {
      server->Terminate();
      server->Wait(20000, code);
      EndProcessesOf(env.Root());
      return -2;
    }
    return code;
  }

  std::string WaitForRecord() {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (ReadBytes(record).empty() && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return ReadBytes(record);
  }

  TempEnv env;
  std::string database, application, order, record;
};

TEST_F(DirectStartEndToEnd, StartByUidCreatesThePdfAndExitsWithStatusZero) {
  EXPECT_EQ(RunLaunched({"6B1D2C3E-0000-4000-8000-0123456789AB"}), 0);
  const std::string pdf = env.Root().string() + "/home/Desktop/WerkbankQuery.Mehrfachausgabe/Angebot 4711 A17.pdf";
  ASSERT_TRUE(std::filesystem::exists(pdf));
  EXPECT_EQ(ReadBytes(pdf).rfind("%PDF", 0), 0u);
  EXPECT_TRUE(std::filesystem::exists(application + "SPOOLER/PDFX/Angebot 4711 A17.pdf"));
  // "Öffnen" is on without remembered settings: the PDF went to its program.
  EXPECT_EQ(WaitForRecord(), pdf + "\n");
}

TEST_F(DirectStartEndToEnd, StartByNameOfAPrintEntryEndsToo) {
  EXPECT_EQ(RunLaunched({"Druck"}), 0);
  EXPECT_TRUE(std::filesystem::exists(application + "SPOOLER/PRINTJOURNAL.TXT"));
  EXPECT_FALSE(std::filesystem::exists(env.Root().string() + "/home/Desktop/WerkbankQuery.Mehrfachausgabe/"
                                                             "Angebot 4711 A17.pdf"));
}

TEST_F(DirectStartEndToEnd, CheckAndExportEndWithTheirExitCodes) {
  // The entries above: "Angebot" has no layout file, the print entry no copies.
  EXPECT_EQ(RunLaunched({"--check"}), 1);
  WriteBytes(database + "Angebot_SUPERLAYOUT.da1", "");
  WriteBytes(database + "Sonderdruck.V1/sdr.json",
             "{\"Items\":[{\"Info\":\"<b>Angebot</b> als PDF\",\"Destination\":\"pdf\",\"SuperLayoutname\":\"Angebot\","
             "\"Copies\":1,\"UID\":\"U-1\"}]}");
  EXPECT_EQ(RunLaunched({"--check"}), 0);
  const std::string exported = env.Dir("aus") + "Einträge.json";
  // Arguments go to the server as 8-bit text.
  EXPECT_EQ(RunLaunched({"--export", platform::Utf8ToAnsi(exported), "Angebot als PDF"}), 0);
  EXPECT_NE(ReadBytes(exported).find("\"U-1\""), std::string::npos);
  EXPECT_EQ(RunLaunched({"--export", platform::Utf8ToAnsi(exported)}), 1) << "not replaced without --force";
}

}  // namespace
