// Message boxes through one seam (see message_boxes.h).
#include "client/message_boxes.h"

#include <atomic>
#include <cstdio>

#include "platform/codepage.h"

namespace wb {
namespace {

std::atomic<IMessagePresenter*> gPresenter{nullptr};

MessageAnswer Show(const std::string& text, MessageButtons buttons, MessageIcon icon) {
  if (IMessagePresenter* presenter = gPresenter.load()) return presenter->Present(text, buttons, icon);
  // A process without a window: the text where a user or a script reads it.
  std::fprintf(stderr, "%s\n", platform::AnsiToUtf8(text).c_str());
  return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
}

}  // namespace

void MessageBoxes::SetPresenter(IMessagePresenter* presenter) { gPresenter.store(presenter); }

void MessageBoxes::ShowInfo(const std::string& text) { Show(text, MessageButtons::Ok, MessageIcon::Information); }

bool MessageBoxes::AskYesNo(const std::string& text, MessageIcon icon) {
  return Show(text, MessageButtons::YesNo, icon) == MessageAnswer::Yes;
}

void MessageBoxes::ShowError(const std::string& text) { Show(text, MessageButtons::Ok, MessageIcon::Error); }

}  // namespace wb
