// The server's connection threads: every job runs once, on its own thread, also
// when its thread has ended before the accept loop goes on (a short connection
// on a loaded machine); joining the ended ones never waits for a running one.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "server/connection_threads.h"

namespace wb::server {
namespace {

using namespace std::chrono_literals;

// Waits until the flag is set, at most 10 s.
bool AwaitFlag(const std::atomic<bool>& flag) {
  auto end = std::chrono::steady_clock::now() + 10s;
  while (!flag.load()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::yield();
  }
  return true;
}

// Each job's thread is over before the next one starts: the starter waits for
// the job and then a little longer, as an accept loop held up by the machine's
// load would. Every job must run exactly once with its own index, and the next
// threads must be unharmed by the ones that ended (the Windows build's thread
// library used to hand an ended thread's record to the next thread while the
// ended one still wrote to it: jobs ran with another's argument or not at all).
TEST(ConnectionThreads, ThreadsThatEndBeforeTheLoopGoesOnRunEveryJobOnce) {
  const char* countText = std::getenv("WB_STRESS_THREADS");
  const int count = countText ? std::atoi(countText) : 300;
  std::vector<std::atomic<int>> runs(static_cast<size_t>(count));
  std::atomic<int> wrongThread{0};
  const auto starter = std::this_thread::get_id();
  TConnectionThreads threads;
  for (int i = 0; i < count; ++i) {
    std::atomic<bool> done{false};
    ASSERT_TRUE(threads.Start([&runs, &done, &wrongThread, starter, i] {
      if (std::this_thread::get_id() == starter) ++wrongThread;
      ++runs[static_cast<size_t>(i)];
      done.store(true);
    }));
    ASSERT_TRUE(AwaitFlag(done)) << "job " << i << " did not run";
    // The job has returned; its thread is ending somewhere between here and a
    // little later.
    if (i % 4 != 0) std::this_thread::sleep_for(std::chrono::microseconds((i % 4) * 100));
    threads.JoinEnded();
  }
  threads.JoinAll();
  EXPECT_EQ(threads.Count(), 0u);
  EXPECT_EQ(wrongThread.load(), 0);
  int wrong = 0;
  for (auto& r : runs) wrong += r.load() != 1;
  EXPECT_EQ(wrong, 0);
}

TEST(ConnectionThreads, JoiningTheEndedOnesLeavesRunningJobsAlone) {
  std::mutex lock;
  std::condition_variable changed;
  bool release = false;
  std::atomic<bool> quickDone{false};
  TConnectionThreads threads;
  ASSERT_TRUE(threads.Start([&] {
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [&] { return release; });
  }));
  ASSERT_TRUE(threads.Start([&] { quickDone.store(true); }));
  ASSERT_TRUE(AwaitFlag(quickDone));

  auto start = std::chrono::steady_clock::now();
  auto end = start + 10s;
  while (threads.Count() > 1 && std::chrono::steady_clock::now() < end) {
    threads.JoinEnded();
    std::this_thread::sleep_for(1ms);
  }
  EXPECT_EQ(threads.Count(), 1u);  // the quick one joined, the waiting one kept
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);

  {
    std::lock_guard<std::mutex> guard(lock);
    release = true;
  }
  changed.notify_all();
  threads.JoinAll();
  EXPECT_EQ(threads.Count(), 0u);
}

}  // namespace
}  // namespace wb::server
