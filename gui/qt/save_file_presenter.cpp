// QtSaveFilePresenter: QFileDialog, without its own question about replacing
// (the core asks that).
#include "gui/qt/save_file_presenter.h"
#include "gui/qt/ansi_text.h"

#include <QFileDialog>

#include "platform/codepage.h"

namespace wb::gui {

std::string QtSaveFilePresenter::AskSaveFileName(const std::string& caption, const std::string& defaultPath) {
  const QString chosen = QFileDialog::getSaveFileName(parent_.data(), FromAnsi(caption), FromAnsi(defaultPath),
                                                      QString::fromUtf8("JSON-Dateien (*.json)"), nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
  return chosen.isEmpty() ? std::string() : ToAnsi(chosen);
}

}  // namespace wb::gui
