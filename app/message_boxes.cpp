// Message boxes through one seam (see message_boxes.h).
#include "app/message_boxes.h"

#include <mutex>

#include "platform/ui_hooks.h"

namespace wb {
namespace {

struct SeamState {
  std::mutex mutex;
  IMessagePresenter* presenter = nullptr;
  std::deque<MessageAnswer> nextAnswers;
  std::vector<std::string> shown;
};

SeamState& State() {
  static SeamState state;
  return state;
}

MessageAnswer Show(const std::string& text, MessageButtons buttons, MessageIcon icon) {
  SeamState& state = State();
  IMessagePresenter* presenter;
  {
    std::lock_guard lock(state.mutex);
    state.shown.push_back(text);
    if (!state.nextAnswers.empty()) {
      MessageAnswer answer = state.nextAnswers.front();
      state.nextAnswers.pop_front();
      return answer;
    }
    presenter = state.presenter;
  }
  if (presenter) return presenter->Present(text, buttons, icon);
  platform::GetUiHooks().ShowMessage(text);
  return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
}

}  // namespace

void MessageBoxes::SetPresenter(IMessagePresenter* presenter) {
  std::lock_guard lock(State().mutex);
  State().presenter = presenter;
}

void MessageBoxes::ShowInfo(const std::string& text) { Show(text, MessageButtons::Ok, MessageIcon::Information); }

bool MessageBoxes::AskYesNo(const std::string& text, MessageIcon icon) {
  return Show(text, MessageButtons::YesNo, icon) == MessageAnswer::Yes;
}

void MessageBoxes::ShowError(const std::string& text) { Show(text, MessageButtons::Ok, MessageIcon::Error); }

void MessageBoxes::SetNextAnswer(MessageAnswer answer) {
  std::lock_guard lock(State().mutex);
  State().nextAnswers.push_back(answer);
}

std::vector<std::string> MessageBoxes::TakeShownTexts() {
  std::lock_guard lock(State().mutex);
  std::vector<std::string> texts;
  texts.swap(State().shown);
  return texts;
}

}  // namespace wb
