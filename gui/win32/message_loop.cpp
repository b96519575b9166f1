// The one way a message is handled, for every loop of the program.
#include "gui/win32/message_loop.h"

namespace wb::win32 {
namespace {

// Our top-level windows are dialog-like: the keyboard moves between their controls.
bool IsNavigationMessage(MSG& message) {
  if (message.hwnd == nullptr) return false;
  HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
  return root != nullptr && ::IsDialogMessageW(root, &message);
}

}  // namespace

bool HandleMessage(MSG& message) {
  if (message.message == WM_QUIT) {
    ::PostQuitMessage(static_cast<int>(message.wParam));
    return false;
  }
  if (IsNavigationMessage(message)) return true;
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
  return true;
}

int RunMessageLoop() {
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) HandleMessage(message);
  return static_cast<int>(message.wParam);
}

}  // namespace wb::win32
