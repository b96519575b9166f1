// Processes: this process's id and its parent's (server discovery), starting a
// child program and waiting for it, and turning stop signals into a request the
// program can act on (the local server cleans up before it ends).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace wb::platform {

uint32_t GetCurrentProcessId();
// The id of the process that started this one; 0 when it cannot be found.
// POSIX: getppid().
uint32_t GetParentProcessId();

// Whether a program can be started under this name: a name with a folder must
// name an existing file; a bare name is searched in the folders of PATH
// (SearchPathA with ".exe" on Windows, an executable file on POSIX).
bool ProgramExists(const std::string& program);

// A started child program. Destroying the object neither ends nor waits for it.
class ChildProcess {
 public:
  virtual ~ChildProcess() = default;
  virtual uint32_t Id() const = 0;
  // Waits at most timeoutMs (negative: no limit) for the child to end. True when
  // it has ended; exitCode then holds its exit code (128 + signal number when a
  // signal ended it on POSIX).
  virtual bool Wait(int timeoutMs, int& exitCode) = 0;
  // Asks the child to end, letting it clean up (SIGTERM; WM_CLOSE / console
  // control event on Windows).
  virtual void Terminate() = 0;
  // Ends the child at once, without any cleanup (SIGKILL; TerminateProcess).
  virtual void Kill() = 0;
};

// Starts program (looked up in PATH when it names no folder) with the arguments,
// without a shell; the child inherits the environment and the standard handles.
// nullptr + LastError when it cannot be started.
std::unique_ptr<ChildProcess> StartProcess(const std::string& program, const std::vector<std::string>& arguments);

// From now on SIGINT, SIGTERM and SIGHUP (console control events on Windows) only
// set the stop request instead of ending the process.
void InstallStopRequestHandler();
bool StopRequested();
// Sets the request from inside the program (tests, a child that has ended).
void RequestStop();

}  // namespace wb::platform
