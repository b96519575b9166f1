// The one seam through which the tool's message boxes go, from every layer
// that must tell the user something. The gui installs a presenter that shows
// real boxes with German buttons; without one a text goes to standard error
// and a question is answered "Nein". Tests install a recording presenter of
// their own (tests/support/message_recorder.h), so a modal question never
// blocks them; the seam itself keeps nothing.
#pragma once

#include <string>

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
};

}  // namespace wb
