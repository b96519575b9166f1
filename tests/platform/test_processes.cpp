// Children on POSIX: their exit status as the caller sees it, and a time-out
// that ends the wait without the child.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <optional>

#include "platform/posix/posix_util.h"
#include "platform/processes.h"
#include "support/environment.h"
#include "support/files.h"
#include "support/temp_env.h"

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

// The one PATH search behind "does the program exist", the program of a
// launcher's Exec line and the look-up for gio: what posix_spawnp would start.
TEST(PosixProcesses, ProgramsAreFoundAsPosixSpawnpFindsThem) {
  test::TempEnv env;
  const std::string bin = env.Dir("bin"), other = env.Dir("other");
  auto make = [](const std::string& path, mode_t mode) {
    ASSERT_TRUE(test::WriteBytes(path, "#!/bin/sh\n"));
    ::chmod(path.c_str(), mode);
  };
  make(bin + "werkzeug", 0755);
  make(bin + "notiz", 0644);
  make(other + "werkzeug", 0755);
  std::filesystem::create_directories(bin + "ordner");
  ::chmod((bin + "ordner").c_str(), 0755);
  struct Case {
    const char* path;  // nullptr: PATH unset
    std::string name;
    std::optional<std::string> found;
  };
  const std::string missing = env.Root().string() + "/fehlt";
  const Case cases[] = {
      {"", "werkzeug", std::nullopt},    {nullptr, "sh", "/usr/bin/sh"},     {"", bin + "werkzeug", bin + "werkzeug"},
      {"", bin + "notiz", std::nullopt}, {"", bin + "ordner", std::nullopt}, {"", "", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const test::ScopedVariable path("PATH", c.path);
    EXPECT_EQ(FindProgramOnPath(c.name), c.found);
  }
  const std::pair<std::string, std::optional<std::string>> onPath[] = {
      {missing + ":" + bin + ":" + other, bin + "werkzeug"},
      {other + ":" + bin, other + "werkzeug"},
      {missing, std::nullopt},
  };
  for (const auto& [path, found] : onPath) {
    env.Set("PATH", path);
    EXPECT_EQ(FindProgramOnPath("werkzeug"), found) << path;
    EXPECT_EQ(ProgramExists("werkzeug"), found.has_value()) << path;
    EXPECT_FALSE(FindProgramOnPath("notiz")) << path;
    EXPECT_FALSE(FindProgramOnPath("ordner")) << path;
  }
}

}  // namespace
}  // namespace wb::platform
