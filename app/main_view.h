// What the main window's logic needs from its window: the Qt main window
// implements it, tests use a recording view.
#pragma once

#include <string>

#include "strings/string_list.h"

namespace wb {

class IMainView {
 public:
  virtual ~IMainView() = default;
  virtual void SetCaption(const std::string& caption) = 0;
  // The list's rows (the texts of the lines, in order); the selection is cleared.
  virtual void SetEntryLines(const TStringList& lines) = 0;
  virtual int SelectedIndex() const = 0;
  // Selects a row without counting as the user's choice; -1 clears the selection.
  virtual void SelectIndex(int index) = 0;
  virtual void SetRunButtonText(const std::string& text) = 0;
  virtual void SetRunButtonEnabled(bool enabled) = 0;
  virtual bool OpenPdfChecked() const = 0;
  virtual void SetOpenPdfChecked(bool checked) = 0;
  virtual void SetOpenPdfEnabled(bool enabled) = 0;
  // Asks the window to close as soon as its event loop runs.
  virtual void PostClose() = 0;
  // Brings the window to the front and gives it the input focus, after a
  // shortcut was written (the desktop may have come forward with the new
  // file). Windows: platform::BringWindowToForeground. A view that cannot do
  // it leaves it alone.
  virtual void BringToFront() {}
};

}  // namespace wb
