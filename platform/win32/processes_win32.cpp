// Processes on Windows: the parent from the toolhelp process snapshot, children
// through CreateProcessA, and stop requests from console control events or from
// a named event that ChildProcess::Terminate sets (so a child without a console
// or window can still be asked to clean up and end).
#include "platform/processes.h"

#include "platform/win32/win32_util.h"

#include <atomic>
#include <mutex>
#include <thread>

#include "platform/command_line.h"
#include "platform/files.h"

namespace wb::platform {
namespace {

// A process that was asked to end through its console still gets this long to
// finish its clean-up: the system ends it when the handler returns.
constexpr DWORD kCloseGraceMs = 5000;

std::atomic<bool> gStopRequested{false};

std::string StopEventName(DWORD processId) { return "Local\\WbkStopRequest-" + std::to_string(processId); }

BOOL WINAPI OnConsoleControl(DWORD event) {
  gStopRequested.store(true);
  // Closing the console, logging off or shutting down ends the process as soon
  // as the handler returns: give the main loop the time to clean up first.
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) ::Sleep(kCloseGraceMs);
  return TRUE;
}

// The stop event of this process; a thread turns it into the stop request.
void ListenForStopEvent() {
  static std::once_flag once;
  std::call_once(once, [] {
    HANDLE event = ::CreateEventA(nullptr, TRUE, FALSE, StopEventName(::GetCurrentProcessId()).c_str());
    if (!event) return;
    std::thread([event] {
      if (::WaitForSingleObject(event, INFINITE) == WAIT_OBJECT_0) gStopRequested.store(true);
    }).detach();
  });
}

BOOL CALLBACK CloseWindowOfProcess(HWND window, LPARAM processId) {
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == static_cast<DWORD>(processId)) ::PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

class Win32ChildProcess final : public ChildProcess {
 public:
  Win32ChildProcess(HANDLE process, DWORD id) : process_(process), id_(id) {}

  uint32_t Id() const override { return id_; }

  bool Wait(int timeoutMs, int& exitCode) override {
    DWORD waited = ::WaitForSingleObject(process_.get(), timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
    if (waited != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    exitCode = ::GetExitCodeProcess(process_.get(), &code) ? static_cast<int>(code) : -1;
    return true;
  }

  void Terminate() override {
    if (::WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0) return;
    // Whichever the child listens to: its stop event, its console group, its windows.
    HANDLE event = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, StopEventName(id_).c_str());
    if (event) {
      ::SetEvent(event);
      ::CloseHandle(event);
    }
    ::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, id_);
    ::EnumWindows(CloseWindowOfProcess, static_cast<LPARAM>(id_));
  }

  void Kill() override {
    if (::WaitForSingleObject(process_.get(), 0) != WAIT_OBJECT_0) ::TerminateProcess(process_.get(), 1);
  }

 private:
  UniqueHandle process_;
  DWORD id_;
};

}  // namespace

uint32_t GetCurrentProcessId() { return ::GetCurrentProcessId(); }

uint32_t GetParentProcessId() {
  UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.valid()) return 0;
  const DWORD self = ::GetCurrentProcessId();
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == self) return entry.th32ParentProcessID;
  }
  return 0;
}

std::unique_ptr<ChildProcess> StartProcess(const std::string& program, const std::vector<std::string>& arguments) {
  std::string commandLine = QuoteCommandLineArgument(program);
  for (const std::string& argument : arguments) {
    commandLine += ' ';
    commandLine += QuoteCommandLineArgument(argument);
  }

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  // The child writes where this process writes (the console, or a log a test reads).
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION started{};
  // A group of its own, so that a console break reaches the child alone.
  if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NEW_PROCESS_GROUP, nullptr, nullptr,
                        &startup, &started))
    return nullptr;
  ::CloseHandle(started.hThread);
  return std::make_unique<Win32ChildProcess>(started.hProcess, started.dwProcessId);
}

void InstallStopRequestHandler() {
  // A process started in a group of its own begins with Ctrl+C ignored.
  ::SetConsoleCtrlHandler(nullptr, FALSE);
  ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  ListenForStopEvent();
}

bool StopRequested() { return gStopRequested.load(); }

void RequestStop() { gStopRequested.store(true); }

}  // namespace wb::platform

namespace wb::platform {

bool ProgramExists(const std::string& program) {
  if (program.empty()) return false;
  if (program.find_first_of("\\/") != std::string::npos) {
    const DWORD attributes = ::GetFileAttributesA(program.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }
  char found[MAX_PATH] = {};
  return ::SearchPathA(nullptr, program.c_str(), ".exe", MAX_PATH, found, nullptr) > 0;
}

}  // namespace wb::platform
