// Test support for the Win32 backend: <windows.h> without the A/W macros that
// clash with the platform interface's names, and the test program started again
// as a child in one of its child modes (main.cpp reads WB_WIN32_CHILD).
#pragma once

#include "platform/win32/win32_util.h"

#include <memory>
#include <string>
#include <vector>

#include "platform/processes.h"

namespace wb::test {

// Runs when WB_WIN32_CHILD names a mode; returns the process's exit code.
int RunChildMode(const std::string& mode, int argc, char** argv);

// The running test program.
std::string TestProgramPath();

// Starts the test program (or another copy of it) as a child in a mode; the
// child writes what it found to outputFile.
std::unique_ptr<platform::ChildProcess> StartChild(const std::string& mode, const std::string& outputFile,
                                                   const std::vector<std::string>& arguments = {},
                                                   const std::string& program = TestProgramPath());

// Sets a process environment variable (the system's copy too) for the scope.
class ScopedVariable {
 public:
  ScopedVariable(const std::string& name, const std::string& value);
  ~ScopedVariable();
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  std::string name_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace wb::test
