// Test support: the one main of every test program (test_main.cpp) and the
// set-up a program does around its tests. Each program links exactly one
// definition of EnterTestProgram: plain_program.cpp (nothing to do),
// qt_program.cpp (a QApplication for the gui tests), or its own.
#pragma once

#include <memory>
#include <optional>

namespace wb::test {

// What a program keeps alive while its tests run.
class TestProgramScope {
 public:
  virtual ~TestProgramScope() = default;
};

// Called first in main, before GoogleTest reads its options. A program that is
// started again as a child of its own tests sets exitCode and runs no tests.
std::unique_ptr<TestProgramScope> EnterTestProgram(int& argc, char** argv, std::optional<int>& exitCode);

}  // namespace wb::test
