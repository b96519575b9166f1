// Bringing one of this program's windows to the front when the user did not
// just click it: after a shortcut was written the desktop may have come
// forward with the new file, and the system lets a program take the
// foreground only under conditions.
#pragma once

namespace wb::platform {

// Windows: attaches this thread's input to the thread of the window in the
// foreground, calls SetForegroundWindow for the window (an HWND), and detaches
// again; true when the window is in the foreground afterwards. Elsewhere the
// toolkit raises and activates its own windows: false, nothing done.
bool BringWindowToForeground(void* window);

}  // namespace wb::platform
