// How the main window hands files to other programs: open a PDF in the
// background, show a file selected in its folder, open a page with the program
// chosen for its type. The real opener uses the shell services; tests record.
#pragma once

#include <string>

namespace wb {

class IFileOpener {
 public:
  virtual ~IFileOpener() = default;
  // The shell's "open" on a worker thread: never blocks the window.
  virtual void OpenInBackground(const std::string& path) = 0;
  virtual void ShowInFolder(const std::string& path) = 0;
  // With the program mapped for its type, else its associated program.
  virtual void OpenWithProgram(const std::string& path) = 0;
};

}  // namespace wb
