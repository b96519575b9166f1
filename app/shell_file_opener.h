// The file opener of the running program: the shell services of the opening unit.
#pragma once

#include "app/file_opener.h"

namespace wb {

class ShellFileOpener final : public IFileOpener {
 public:
  void OpenInBackground(const std::string& path) override;
  void ShowInFolder(const std::string& path) override;
  void OpenWithProgram(const std::string& path) override;
};

}  // namespace wb
