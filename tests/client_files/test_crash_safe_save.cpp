// A writer killed at any moment of SaveListRetry never leaves anything but the
// old or the new content behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "client/file_helpers.h"
#include "support/files.h"
#include "support/temp_env.h"

using namespace wb;
using wb::test::ReadBytes;

namespace {
TStringList Content(char fill) {
  TStringList lines;
  for (int i = 0; i < 4000; ++i) lines.Add(std::string(60, fill));
  return lines;
}
}  // namespace

TEST(SaveListRetry, SurvivesAKilledWriter) {
  test::TempEnv env;
  const std::string file = env.Dir("crash") + "sdr.json";
  const TStringList a = Content('A'), b = Content('B');
  SaveListRetry(a, file);
  const std::string textA = a.Text(), textB = b.Text();
  std::mt19937 random(42);
  for (int round = 0; round < 25; ++round) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int i = 0;; ++i) SaveListRetry(i % 2 ? a : b, file);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200 + random() % 20000));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    std::string now = ReadBytes(file);
    ASSERT_TRUE(now == textA || now == textB) << "round " << round << ": " << now.size() << " bytes";
  }
}
