// The child modes of the test program, its set-up that enters one when the
// program was started as a child, and starting it in one.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "ipc/server_calls.h"
#include "platform/processes.h"
#include "platform/shell_link.h"
#include "support/test_main.h"
#include "win32/win32_test_support.h"

namespace wb::test {
namespace {

constexpr const char* kModeVariable = "WB_WIN32_CHILD";
constexpr const char* kOutputVariable = "WB_WIN32_CHILD_OUT";
constexpr int kStopWaitLimitMs = 20000;
constexpr int kStoppedExitCode = 7;

std::string OutputFile() {
  const char* path = std::getenv(kOutputVariable);
  return path ? path : "";
}

// Runs the child mode WB_WIN32_CHILD names; returns the process's exit code.
int RunChildMode(const std::string& mode, int argc, char** argv) {
  std::ostringstream out;
  int exitCode = 0;
  if (mode == "parent-id") {
    out << platform::GetParentProcessId();
  } else if (mode == "detect") {
    out << DetectServerName();
  } else if (mode == "args") {
    for (int i = 1; i < argc; ++i) out << argv[i] << '\n';
  } else if (mode == "wait-stop") {
    platform::InstallStopRequestHandler();
    WriteBytes(OutputFile() + ".ready", "1");
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopWaitLimitMs);
    while (!platform::StopRequested() && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    out << (platform::StopRequested() ? "stopped" : "not stopped");
    exitCode = kStoppedExitCode;
  } else {
    out << "unknown mode " << mode;
    exitCode = 2;
  }
  WriteBytes(OutputFile(), out.str());
  return exitCode;
}

}  // namespace

std::unique_ptr<TestProgramScope> EnterTestProgram(int& argc, char** argv, std::optional<int>& exitCode) {
  const char* mode = std::getenv(kModeVariable);
  if (mode && *mode) exitCode = RunChildMode(mode, argc, argv);
  return nullptr;
}

std::string TestProgramPath() { return platform::GetModuleFileName(); }

std::unique_ptr<platform::ChildProcess> StartChild(const std::string& mode, const std::string& outputFile,
                                                   const std::vector<std::string>& arguments,
                                                   const std::string& program) {
  ScopedVariable modeVariable(kModeVariable, mode);
  ScopedVariable outputVariable(kOutputVariable, outputFile);
  return platform::StartProcess(program, arguments);
}

}  // namespace wb::test
