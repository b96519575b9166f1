// The main of every test program: the program's own set-up, then GoogleTest.
#include <gtest/gtest.h>

#include "support/test_main.h"

int main(int argc, char** argv) {
  std::optional<int> exitCode;
  const std::unique_ptr<wb::test::TestProgramScope> scope = wb::test::EnterTestProgram(argc, argv, exitCode);
  if (exitCode) return *exitCode;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
