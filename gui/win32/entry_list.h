// The main window's entry list: a drop-down list whose rows (21 pixels high)
// and closed field are drawn by the markup renderer (DrawHtmlItem), and whose
// Enter key runs the selected entry instead of doing nothing.
#pragma once

#include <functional>

#include "gui/win32/controls.h"

namespace wb::win32 {

class EntryList : public ComboBox {
 public:
  static constexpr int kRowHeight = 21;
  static constexpr int kFieldHeight = 18;
  void Create(ControlArgs args);
  std::function<void()> OnEnter;

  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  bool OnMeasureItem(MEASUREITEMSTRUCT& item) override;

 protected:
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
};

}  // namespace wb::win32
