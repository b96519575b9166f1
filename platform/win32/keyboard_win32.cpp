// The right Ctrl key on Windows: GetKeyState(VK_RCONTROL), negative while held.
#include "platform/keyboard.h"

#include "platform/win32/win32_util.h"

namespace wb::platform {

bool QueryRightControlKey(bool& held) {
  held = ::GetKeyState(VK_RCONTROL) < 0;
  return true;
}

}  // namespace wb::platform
