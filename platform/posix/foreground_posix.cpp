// BringWindowToForeground on POSIX: the toolkit raises and activates its own
// windows (the window manager decides), nothing to do below it.
#include "platform/foreground.h"

namespace wb::platform {

bool BringWindowToForeground(void*) { return false; }

}  // namespace wb::platform
