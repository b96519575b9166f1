// QtMessagePresenter: QMessageBox with the German button texts.
#include "gui/qt/message_presenter.h"
#include "gui/qt/ansi_text.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

#include "platform/codepage.h"

namespace wb::gui {

MessageAnswer QtMessagePresenter::Present(const std::string& text, MessageButtons buttons, MessageIcon icon) {
  // Scripts and end-to-end tests that run the program without anyone at the
  // screen read the boxes on standard error; a question is answered "Nein".
  if (qEnvironmentVariableIsSet("WB_MESSAGES_ON_STDERR")) {
    std::fprintf(stderr, "Meldung: %s\n", platform::AnsiToUtf8(text).c_str());
    std::fflush(stderr);
    return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
  }
  static constexpr QMessageBox::Icon kIcons[] = {QMessageBox::Information, QMessageBox::Warning, QMessageBox::Critical};
  QMessageBox box(kIcons[static_cast<int>(icon)], QStringLiteral("Mehrfachausgabe"), FromAnsi(text),
                  QMessageBox::NoButton, QApplication::activeWindow());
  if (buttons == MessageButtons::Ok) {
    box.addButton("OK", QMessageBox::AcceptRole);
    box.exec();
    return MessageAnswer::Ok;
  }
  QPushButton* yes = box.addButton("Ja", QMessageBox::YesRole);
  QPushButton* no = box.addButton("Nein", QMessageBox::NoRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes ? MessageAnswer::Yes : MessageAnswer::No;
}

}  // namespace wb::gui
