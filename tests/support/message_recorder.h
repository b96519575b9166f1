// Test support: the message boxes' stand-in. It records the text of every box
// and answers with what a test gave in advance, else "OK" or "Nein", so a modal
// question never blocks a test. Installed as the seam's presenter on first use.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "client/message_boxes.h"

namespace wb::test {

class MessageRecorder final : public IMessagePresenter {
 public:
  MessageAnswer Present(const std::string& text, MessageButtons buttons, MessageIcon) override {
    std::lock_guard lock(mutex_);
    shown_.push_back(text);
    if (nextAnswers_.empty()) return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    const MessageAnswer answer = nextAnswers_.front();
    nextAnswers_.pop_front();
    return answer;
  }
  // The answer to the next box (queued: one per call).
  void SetNextAnswer(MessageAnswer answer) {
    std::lock_guard lock(mutex_);
    nextAnswers_.push_back(answer);
  }
  // Texts of every box since the last call.
  std::vector<std::string> TakeShownTexts() {
    std::lock_guard lock(mutex_);
    std::vector<std::string> texts;
    texts.swap(shown_);
    return texts;
  }

 private:
  std::mutex mutex_;
  std::deque<MessageAnswer> nextAnswers_;
  std::vector<std::string> shown_;
};

// The process's recorder, (re)installed as the presenter at every call.
inline MessageRecorder& Messages() {
  static MessageRecorder recorder;
  MessageBoxes::SetPresenter(&recorder);
  return recorder;
}

}  // namespace wb::test
