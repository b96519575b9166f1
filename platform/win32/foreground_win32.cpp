// BringWindowToForeground on Windows: SetForegroundWindow with this thread's
// input attached to the foreground window's thread, so the system grants it.
#include "platform/foreground.h"

#include "platform/win32/win32_util.h"

namespace wb::platform {

bool BringWindowToForeground(void* window) {
  HWND target = static_cast<HWND>(window);
  if (target == nullptr || !::IsWindow(target)) return false;
  const DWORD ownThread = ::GetCurrentThreadId();
  const HWND current = ::GetForegroundWindow();
  const DWORD foregroundThread = current ? ::GetWindowThreadProcessId(current, nullptr) : 0;
  const bool attached = foregroundThread != 0 && foregroundThread != ownThread &&
                        ::AttachThreadInput(ownThread, foregroundThread, TRUE) != FALSE;
  ::SetForegroundWindow(target);
  if (attached) ::AttachThreadInput(ownThread, foregroundThread, FALSE);
  return ::GetForegroundWindow() == target;
}

}  // namespace wb::platform
