// The program's message loop and the waits that keep the windows alive. Every
// loop (the main one, a modal window's, the waits of the output run) handles a
// message the same way: keyboard navigation for the window it belongs to
// (IsDialogMessage: Tab, arrow keys), then translate and dispatch.
#pragma once

#include "gui/win32/win32_headers.h"

namespace wb::win32 {

// Handles one message; false for WM_QUIT (which is then posted again, so every
// loop on the way out sees it).
bool HandleMessage(MSG& message);

// Runs until WM_QUIT; returns its exit code.
int RunMessageLoop();

// Runs until done() is true or WM_QUIT came (false then). For modal windows.
template <typename Done>
bool RunMessageLoopUntil(Done done) {
  MSG message;
  while (!done()) {
    if (::GetMessageW(&message, nullptr, 0, 0) <= 0) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    HandleMessage(message);
  }
  return true;
}

}  // namespace wb::win32
