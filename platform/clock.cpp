// The real clock: the steady clock and a real sleep.
#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace wb::platform {
namespace {
Clock gRealClock;
std::atomic<Clock*> gClock{nullptr};
}  // namespace

int64_t Clock::NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void Clock::Sleep(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

Clock& GetClock() {
  Clock* clock = gClock.load();
  return clock ? *clock : gRealClock;
}

void SetClock(Clock* clock) { gClock.store(clock); }

}  // namespace wb::platform
