// Message boxes on Qt with German buttons ("OK", "Ja", "Nein").
#pragma once

#include "client/message_boxes.h"

namespace wb::gui {

class QtMessagePresenter final : public IMessagePresenter {
 public:
  MessageAnswer Present(const std::string& text, MessageButtons buttons, MessageIcon icon) override;
};

// Runs an event handler; a raised error goes to the standard error box.
template <typename Handler>
void Guarded(Handler&& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    MessageBoxes::ShowError(error.what());
  }
}

}  // namespace wb::gui
