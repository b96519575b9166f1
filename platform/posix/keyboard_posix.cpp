// POSIX has no keyboard state outside the toolkit's events (X11 keysyms, no
// answer at all on Wayland): the gui's hooks track the right Ctrl key.
#include "platform/keyboard.h"

namespace wb::platform {

bool QueryRightControlKey(bool& held) {
  held = false;
  return false;
}

}  // namespace wb::platform
