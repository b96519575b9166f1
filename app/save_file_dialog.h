// The one seam through which the tool asks for the name of a file to write.
// The gui installs a presenter that shows its save dialog; a test names the
// file in advance with SetNextFileName, so the dialog never blocks it.
#pragma once

#include <string>
#include <vector>

namespace wb {

class ISaveFilePresenter {
 public:
  virtual ~ISaveFilePresenter() = default;
  // The chosen path (8-bit), "" when the user cancelled. The presenter does not
  // ask about replacing an existing file: the caller does.
  virtual std::string AskSaveFileName(const std::string& caption, const std::string& defaultPath) = 0;
};

class SaveFileDialogs {
 public:
  // nullptr restores the default, which chooses nothing.
  static void SetPresenter(ISaveFilePresenter* presenter);
  static std::string Ask(const std::string& caption, const std::string& defaultPath);

  // Test seam: the next dialog is not shown, its default path is recorded, and this is the answer.
  static void SetNextFileName(const std::string& path);
  // Default paths of every dialog since the last call.
  static std::vector<std::string> TakeAskedDefaults();
};

}  // namespace wb
