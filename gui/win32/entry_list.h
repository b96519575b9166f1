// The main window's entry list: a drop-down list whose rows (21 pixels high)
// and closed field are drawn by the markup renderer (DrawHtmlItem), whose
// Enter key runs the selected entry instead of doing nothing, and which asks
// for the context menu on a right click, the menu key or Shift+F10.
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
  // The context menu, at a point on the screen. A right click into the open
  // list first picks the row under the cursor (OnSelectionChange follows).
  std::function<void(POINT screen)> OnContextMenu;

  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  bool OnMeasureItem(MEASUREITEMSTRUCT& item) override;

 protected:
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void ContextMenu(LPARAM at);
  HWND DroppedListWindow() const;
};

}  // namespace wb::win32
