// Test support: time that passes only when the code under test sleeps or waits
// for window events. Installed as the core's clock and user-interface hooks for
// its lifetime. Events are scheduled on it ("at 100 ms the spool file
// appears", "at 500 ms the window is closed"); a wait for window events runs
// the next event that falls within it and returns at that moment, or lets its
// whole time pass. A ten-second wait costs no real time, and what a test sees
// does not depend on how loaded the machine is.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <utility>

#include "platform/clock.h"
#include "platform/ui_hooks.h"

namespace wb::test {

class SimulatedTime : public platform::Clock, public platform::UiHooks {
 public:
  SimulatedTime() {
    platform::SetClock(this);
    platform::SetUiHooks(this);
  }
  ~SimulatedTime() override {
    platform::SetUiHooks(nullptr);
    platform::SetClock(nullptr);
  }
  SimulatedTime(const SimulatedTime&) = delete;
  SimulatedTime& operator=(const SimulatedTime&) = delete;

  // Runs action once the time reaches atMs (during a sleep or a wait).
  void At(int64_t atMs, std::function<void()> action) { events_.emplace(atMs, std::move(action)); }
  // From atMs on, the application is quitting: waits for window events end at once.
  void QuitAt(int64_t atMs) {
    At(atMs, [this] { quitting_ = true; });
  }

  int64_t NowMs() override { return now_; }
  void Sleep(int milliseconds) override { PassUntil(now_ + (milliseconds > 0 ? milliseconds : 0), false); }
  bool PumpMessages(unsigned maxWaitMs) override {
    ++pumps;
    if (quitting_) return false;
    PassUntil(now_ + maxWaitMs, true);
    return !quitting_;
  }
  void WakeUp() override {}  // a folder watch's wake-up: the scheduled events say when files appear

  int pumps = 0;

 private:
  // Runs the events up to the given time in order; a wait for window events
  // ends with the first event it ran, a sleep sleeps on.
  void PassUntil(int64_t end, bool endAtEvent) {
    while (!events_.empty() && events_.begin()->first <= end) {
      auto event = events_.extract(events_.begin());
      if (event.key() > now_) now_ = event.key();
      event.mapped()();
      if (endAtEvent) return;
    }
    now_ = end;
  }

  int64_t now_ = 0;
  bool quitting_ = false;
  std::multimap<int64_t, std::function<void()>> events_;
};

}  // namespace wb::test
