// The set-up of a test program that needs none.
#include "support/test_main.h"

namespace wb::test {

std::unique_ptr<TestProgramScope> EnterTestProgram(int&, char**, std::optional<int>&) { return nullptr; }

}  // namespace wb::test
