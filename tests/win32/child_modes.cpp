// The child modes of the test program, and starting it in one.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "ipc/server_calls.h"
#include "platform/processes.h"
#include "platform/shell_link.h"
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

}  // namespace

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
    WriteFileBytes(OutputFile() + ".ready", "1");
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopWaitLimitMs);
    while (!platform::StopRequested() && std::chrono::steady_clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    out << (platform::StopRequested() ? "stopped" : "not stopped");
    exitCode = kStoppedExitCode;
  } else {
    out << "unknown mode " << mode;
    exitCode = 2;
  }
  WriteFileBytes(OutputFile(), out.str());
  return exitCode;
}

std::string TestProgramPath() { return platform::GetModuleFileName(); }

std::unique_ptr<platform::ChildProcess> StartChild(const std::string& mode, const std::string& outputFile,
                                                   const std::vector<std::string>& arguments,
                                                   const std::string& program) {
  ScopedVariable modeVariable(kModeVariable, mode);
  ScopedVariable outputVariable(kOutputVariable, outputFile);
  return platform::StartProcess(program, arguments);
}

ScopedVariable::ScopedVariable(const std::string& name, const std::string& value) : name_(name) {
  ::_putenv_s(name.c_str(), value.c_str());
}
ScopedVariable::~ScopedVariable() { ::_putenv_s(name_.c_str(), ""); }

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace wb::test
