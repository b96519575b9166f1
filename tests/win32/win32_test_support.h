// Test support for the Win32 backend: <windows.h> without the A/W macros that
// clash with the platform interface's names, and the test program started again
// as a child in one of its child modes (child_modes.cpp; the program's set-up
// reads WB_WIN32_CHILD before any test runs).
#pragma once

#include "platform/win32/win32_util.h"

#include <memory>
#include <string>
#include <vector>

#include "platform/processes.h"
#include "support/environment.h"
#include "support/files.h"

namespace wb::test {

// The running test program.
std::string TestProgramPath();

// Starts the test program (or another copy of it) as a child in a mode; the
// child writes what it found to outputFile.
std::unique_ptr<platform::ChildProcess> StartChild(const std::string& mode, const std::string& outputFile,
                                                   const std::vector<std::string>& arguments = {},
                                                   const std::string& program = TestProgramPath());

}  // namespace wb::test
