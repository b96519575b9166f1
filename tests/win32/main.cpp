// The Win32 test program: GoogleTest, or one of the child modes the tests start
// the program in (a child that reports its parent, its arguments, ...).
#include <gtest/gtest.h>

#include <cstdlib>

#include "win32/win32_test_support.h"

int main(int argc, char** argv) {
  const char* mode = std::getenv("WB_WIN32_CHILD");
  if (mode && *mode) return wb::test::RunChildMode(mode, argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
