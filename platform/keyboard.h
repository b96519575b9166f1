// The keyboard state as the platform itself reports it, for the places that ask
// "is the right Ctrl key held right now" outside a key event.
#pragma once

namespace wb::platform {

// True when the platform can tell on its own (GetKeyState(VK_RCONTROL) on
// Windows); held is then set. False where only the toolkit's key events know
// (POSIX): the gui's hooks track the key there.
bool QueryRightControlKey(bool& held);

}  // namespace wb::platform
