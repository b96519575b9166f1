// TaskDialogPresenter: TaskDialogIndirect with custom buttons. It exists in the
// common controls of version 6, which the program's manifest asks for.
#include "gui/win32/message_presenter.h"

#include "gui/win32/win32_headers.h"
#include "gui/win32/win32_text.h"

namespace wb::win32 {
namespace {

enum ButtonId : int { kOk = 100, kYes = 101, kNo = 102 };

PCWSTR IconOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Warning: return TD_WARNING_ICON;
    case MessageIcon::Error: return TD_ERROR_ICON;
    case MessageIcon::Information:
    default: return TD_INFORMATION_ICON;
  }
}

}  // namespace

MessageAnswer TaskDialogPresenter::Present(const std::string& text, MessageButtons buttons, MessageIcon icon) {
  const std::wstring content = Wide(text);
  const std::wstring ok = L"OK", yes = L"Ja", no = L"Nein";
  const TASKDIALOG_BUTTON okButtons[] = {{kOk, ok.c_str()}};
  const TASKDIALOG_BUTTON yesNoButtons[] = {{kYes, yes.c_str()}, {kNo, no.c_str()}};
  const bool question = buttons == MessageButtons::YesNo;

  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof(config);
  config.hwndParent = ::GetActiveWindow();
  config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
  config.pszWindowTitle = kMessageCaption;
  config.pszMainIcon = IconOf(icon);
  config.pszContent = content.c_str();
  config.pButtons = question ? yesNoButtons : okButtons;
  config.cButtons = question ? 2 : 1;
  config.nDefaultButton = question ? kYes : kOk;

  int pressed = 0;
  if (FAILED(::TaskDialogIndirect(&config, &pressed, nullptr, nullptr))) pressed = question ? kNo : kOk;
  if (!question) return MessageAnswer::Ok;
  return pressed == kYes ? MessageAnswer::Yes : MessageAnswer::No;
}

}  // namespace wb::win32
