// Win32UiHooks: a wait returns when a message was handled, WakeUp was called,
// or the time is up.
#include "gui/win32/ui_hooks.h"

#include "gui/win32/message_loop.h"
#include "platform/keyboard.h"

namespace wb::win32 {
namespace {
bool gBusyCursor = false;
}

Win32UiHooks::Win32UiHooks() : wakeEvent_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

Win32UiHooks::~Win32UiHooks() { ::CloseHandle(wakeEvent_); }

bool Win32UiHooks::PumpMessages(unsigned maxWaitMs) {
  if (quitRequested_) return false;
  MSG message;
  if (!::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
    const DWORD woke = ::MsgWaitForMultipleObjectsEx(1, &wakeEvent_, maxWaitMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0 || woke == WAIT_TIMEOUT) return true;
  }
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (!HandleMessage(message)) {
      quitRequested_ = true;
      return false;
    }
  }
  return true;
}

void Win32UiHooks::WakeUp() { ::SetEvent(wakeEvent_); }

void Win32UiHooks::SetBusyCursor(bool busy) {
  gBusyCursor = busy;
  // The cursor changes now, not only when the mouse moves next.
  ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

bool Win32UiHooks::BusyCursorShown() { return gBusyCursor; }

bool Win32UiHooks::IsRightControlDown() {
  bool held = false;
  return platform::QueryRightControlKey(held) && held;
}

}  // namespace wb::win32
