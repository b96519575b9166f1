// EntryList: owner-drawn rows through DrawHtmlItem on the GDI surface.
#include "gui/win32/entry_list.h"

#include <windowsx.h>

#include "gui/win32/gdi_surface.h"
#include "gui/win32/win32_text.h"
#include "htmldraw/html_item.h"

namespace wb::win32 {
namespace {
constexpr int kTextIndent = 5;
}

void EntryList::Create(ControlArgs args) {
  args.style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS | WS_TABSTOP;
  ComboBox::Create(args);
  Subclass();
  // The open list is a window of its own: its right click comes to OnMessage too.
  SubclassChild(DroppedListWindow());
}

HWND EntryList::DroppedListWindow() const {
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  return ::GetComboBoxInfo(Handle(), &info) ? info.hwndList : nullptr;
}

// From the mouse (at in screen coordinates) or the keyboard (at is -1, the menu
// then opens below the selected row). The open list is closed first; the row
// clicked in it becomes the selection, so the menu acts on what was clicked.
void EntryList::ContextMenu(LPARAM at) {
  HWND list = ::SendMessageW(Handle(), CB_GETDROPPEDSTATE, 0, 0) != FALSE ? DroppedListWindow() : nullptr;
  const bool fromKeyboard = at == -1;
  POINT screen{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
  int clickedRow = -1;
  if (list != nullptr && !fromKeyboard) {
    POINT client = screen;
    ::ScreenToClient(list, &client);
    RECT inside{};
    ::GetClientRect(list, &inside);
    if (::PtInRect(&inside, client)) {
      const auto hit = static_cast<DWORD>(::SendMessageW(
          list, LB_ITEMFROMPOINT, 0, MAKELPARAM(static_cast<WORD>(client.x), static_cast<WORD>(client.y))));
      if (HIWORD(hit) == 0) clickedRow = LOWORD(hit);
    }
  }
  if (list != nullptr) ::SendMessageW(Handle(), CB_SHOWDROPDOWN, FALSE, 0);
  if (clickedRow >= 0 && clickedRow != SelectedIndex()) {
    Select(clickedRow);
    if (OnSelectionChange) OnSelectionChange();
  }
  if (fromKeyboard) {
    RECT field{};
    ::GetWindowRect(Handle(), &field);
    screen = POINT{field.left, field.bottom};
  }
  if (OnContextMenu) OnContextMenu(screen);
}

bool EntryList::OnMeasureItem(MEASUREITEMSTRUCT& item) {
  // The closed field (item -1) a little lower than a row: the frame adds to it.
  item.itemHeight = static_cast<UINT>(Scale(item.itemID == static_cast<UINT>(-1) ? kFieldHeight : kRowHeight));
  return true;
}

// A row: its rectangle filled with the list's background (the selection colour
// for the selected row), the left edge 5 pixels in, the text by the renderer.
bool EntryList::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const TColor background = ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
  const TColor foreground = ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
  GdiSurface surface(item.hDC);
  const TRect rect{item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom};
  surface.FillRect(rect, background);
  if (item.itemID == static_cast<UINT>(-1)) return true;
  const std::string markup = Narrow(ItemText(static_cast<int>(item.itemID)));
  surface.SetFont(UiSurfaceFont(9, true, foreground));
  surface.SetBackgroundColor(background);
  DrawHtmlItem(surface, true, markup, selected, TRect{rect.Left + kTextIndent, rect.Top, rect.Right, rect.Bottom});
  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0)
    ::DrawFocusRect(item.hDC, &item.rcItem);
  return true;
}

LRESULT EntryList::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CONTEXTMENU) {
    ContextMenu(lParam);
    return 0;
  }
  // Of the open list only the right click: its keys come from the field, which handles them below.
  if (window != Handle()) return ComboBox::OnMessage(window, message, wParam, lParam);
  switch (message) {
    case WM_GETDLGCODE:
      // Enter belongs to the list (it runs the entry), not to the dialog navigation.
      if (lParam != 0 && reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN &&
          reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN)
        return DLGC_WANTMESSAGE;
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        if (::SendMessageW(window, CB_GETDROPPEDSTATE, 0, 0) != FALSE) break;  // Enter picks from the open list
        if (OnEnter) OnEnter();
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == L'\r') return 0;
      break;
    default: break;
  }
  return ComboBox::OnMessage(window, message, wParam, lParam);
}

}  // namespace wb::win32
