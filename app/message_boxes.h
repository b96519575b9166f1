// The one seam through which the tool's message boxes go. The gui installs a
// presenter that shows real boxes with German buttons; a test answers in
// advance with SetNextAnswer, so a modal question never blocks it.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace wb {

enum class MessageIcon { Information, Warning, Error };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

class IMessagePresenter {
 public:
  virtual ~IMessagePresenter() = default;
  virtual MessageAnswer Present(const std::string& text, MessageButtons buttons, MessageIcon icon) = 0;
};

class MessageBoxes {
 public:
  // The presenter in force; nullptr restores the default (standard error, answers "OK"/"Nein").
  static void SetPresenter(IMessagePresenter* presenter);

  static void ShowInfo(const std::string& text);
  static bool AskYesNo(const std::string& text, MessageIcon icon);
  // The standard error box for raised errors.
  static void ShowError(const std::string& text);

  // Test seam: the next box is not shown; its text is recorded and this is the answer.
  static void SetNextAnswer(MessageAnswer answer);
  // Texts of every box since the last call (shown or answered in advance).
  static std::vector<std::string> TakeShownTexts();
};

}  // namespace wb
