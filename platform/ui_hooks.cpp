// Default user-interface hooks for a process without a window: waits sleep,
// messages go to standard error, no key is held.
#include "platform/ui_hooks.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/codepage.h"

namespace wb::platform {
namespace {
UiHooks gDefaultHooks;
std::atomic<UiHooks*> gHooks{nullptr};
}  // namespace

bool UiHooks::PumpMessages(unsigned maxWaitMs) {
  std::this_thread::sleep_for(std::chrono::milliseconds(maxWaitMs));
  return true;
}

void UiHooks::SetBusyCursor(bool) {}

void UiHooks::ShowMessage(const std::string& text) {
  std::string utf8 = AnsiToUtf8(text);
  std::fprintf(stderr, "%s\n", utf8.c_str());
}

bool UiHooks::IsRightControlDown() { return false; }

UiHooks& GetUiHooks() {
  UiHooks* hooks = gHooks.load();
  return hooks ? *hooks : gDefaultHooks;
}

void SetUiHooks(UiHooks* hooks) { gHooks.store(hooks); }

}  // namespace wb::platform
