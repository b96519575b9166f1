// The save dialog of the Qt front end behind the core's SaveFileDialogs seam.
#pragma once

#include <QPointer>
#include <QWidget>

#include "app/save_file_dialog.h"

namespace wb::gui {

class QtSaveFilePresenter : public ISaveFilePresenter {
 public:
  explicit QtSaveFilePresenter(QWidget* parent = nullptr) : parent_(parent) {}
  std::string AskSaveFileName(const std::string& caption, const std::string& defaultPath) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace wb::gui
