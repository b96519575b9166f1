// The core's user-interface hooks on Win32: waits handle window messages
// (MsgWaitForMultipleObjectsEx, woken early by an event that WakeUp sets from
// any thread), the busy cursor is the system's wait cursor, the right Ctrl key
// is GetKeyState(VK_RCONTROL).
#pragma once

#include <atomic>

#include "gui/win32/win32_headers.h"
#include "platform/ui_hooks.h"

namespace wb::win32 {

class Win32UiHooks final : public platform::UiHooks {
 public:
  Win32UiHooks();
  ~Win32UiHooks() override;
  Win32UiHooks(const Win32UiHooks&) = delete;
  Win32UiHooks& operator=(const Win32UiHooks&) = delete;

  bool PumpMessages(unsigned maxWaitMs) override;
  void SetBusyCursor(bool busy) override;
  bool IsRightControlDown() override;
  void WakeUp() override;

  // Whether the busy cursor is shown: windows answer WM_SETCURSOR with it.
  static bool BusyCursorShown();
  bool QuitRequested() const { return quitRequested_; }

 private:
  HANDLE wakeEvent_;
  bool quitRequested_ = false;
};

}  // namespace wb::win32
