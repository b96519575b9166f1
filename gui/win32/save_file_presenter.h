// The save dialog of the Windows front end behind the core's SaveFileDialogs
// seam: the system's save dialog with the JSON filter, owned by the active
// window, without a question of its own about replacing a file (the core asks that).
#pragma once

#include "app/save_file_dialog.h"

namespace wb::win32 {

class SaveFilePresenter final : public ISaveFilePresenter {
 public:
  std::string AskSaveFileName(const std::string& caption, const std::string& defaultPath) override;
};

}  // namespace wb::win32
