// Children on POSIX: their exit status as the caller sees it, and a time-out
// that ends the wait without the child.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/processes.h"

namespace wb::platform {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

TEST(PosixProcesses, ExitStatusAsTheCallerSeesIt) {
  struct Case {
    const char* script;
    int code;
  };
  const Case cases[] = {
      {"exit 0", 0},
      {"exit 3", 3},
      {"kill -9 $$", 128 + 9},  // ended by a signal
      {"kill -15 $$", 128 + 15},
  };
  for (const Case& c : cases) {
    auto child = StartProcess("/bin/sh", {"-c", c.script});
    ASSERT_TRUE(child) << c.script;
    int code = -1;
    ASSERT_TRUE(child->Wait(10000, code)) << c.script;
    EXPECT_EQ(code, c.code) << c.script;
    int again = -1;
    EXPECT_TRUE(child->Wait(0, again)) << "a second wait answers from what the first learned";
    EXPECT_EQ(again, c.code);
  }
}

TEST(PosixProcesses, ATimeOutEndsTheWaitAndTheChildCanStillBeStopped) {
  auto child = StartProcess("/bin/sleep", {"30"});
  ASSERT_TRUE(child);
  int code = -1;
  const auto start = Clock::now();
  EXPECT_FALSE(child->Wait(150, code));
  const double waited = MillisecondsSince(start);
  EXPECT_GE(waited, 140);
  EXPECT_LT(waited, 5000);
  EXPECT_FALSE(child->Wait(0, code)) << "no time at all: just a look";
  child->Kill();
  ASSERT_TRUE(child->Wait(10000, code));
  EXPECT_EQ(code, 128 + 9);
}

}  // namespace
}  // namespace wb::platform
