// Default user-interface hooks for a process without a window: waits sleep,
// messages go to standard error, no key is held.
#include "platform/ui_hooks.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/keyboard.h"

namespace wb::platform {
namespace {
UiHooks gDefaultHooks;
std::atomic<UiHooks*> gHooks{nullptr};

// Without a window there are no events: a wait sleeps until its time is up or
// someone wakes it.
std::mutex gWakeMutex;
std::condition_variable gWakeCondition;
bool gWoken = false;
}  // namespace

bool UiHooks::PumpMessages(unsigned maxWaitMs) {
  std::unique_lock lock(gWakeMutex);
  gWakeCondition.wait_for(lock, std::chrono::milliseconds(maxWaitMs), [] { return gWoken; });
  gWoken = false;
  return true;
}

void UiHooks::WakeUp() {
  {
    std::lock_guard lock(gWakeMutex);
    gWoken = true;
  }
  gWakeCondition.notify_all();
}

void UiHooks::SetBusyCursor(bool) {}

// Where the platform knows the key's state itself (Windows), it answers.
bool UiHooks::IsRightControlDown() {
  bool held = false;
  return QueryRightControlKey(held) && held;
}

UiHooks& GetUiHooks() {
  UiHooks* hooks = gHooks.load();
  return hooks ? *hooks : gDefaultHooks;
}

void SetUiHooks(UiHooks* hooks) { gHooks.store(hooks); }

}  // namespace wb::platform
