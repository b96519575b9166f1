// Message boxes on Win32: a task dialog with the German buttons as its own
// custom buttons ("OK", "Ja", "Nein"), so the texts do not depend on the
// language of the system, which the system's MessageBox would take them from.
#pragma once

#include "client/message_boxes.h"

namespace wb::win32 {

class TaskDialogPresenter final : public IMessagePresenter {
 public:
  MessageAnswer Present(const std::string& text, MessageButtons buttons, MessageIcon icon) override;
};

// The caption of every box.
inline constexpr wchar_t kMessageCaption[] = L"Mehrfachausgabe";

// Runs an event handler; a raised error goes to the standard error box.
template <typename Handler>
void Guarded(Handler&& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    MessageBoxes::ShowError(error.what());
  }
}

}  // namespace wb::win32
