// The control layer: creation from the arguments struct, the reflection of the
// parent's notifications, and the few controls the windows use.
#include "gui/win32/controls.h"

namespace wb::win32 {
namespace {

constexpr wchar_t kControlProperty[] = L"WbControl";
constexpr UINT_PTR kSubclassId = 1;

// A control that is being created: owner-drawn lists ask their parent for item
// sizes before CreateWindowEx returns.
thread_local Control* tCreating = nullptr;
thread_local int tCreatingId = 0;

Control* ControlById(HWND parent, int id) {
  if (tCreating != nullptr && tCreatingId == id) return tCreating;
  HWND child = ::GetDlgItem(parent, id);
  return child != nullptr ? Control::FromHandle(child) : nullptr;
}

// A control's child window (a combo box's edit) reports through its control.
Control* ControlOrOwner(HWND window) {
  if (Control* control = Control::FromHandle(window)) return control;
  HWND parent = ::GetParent(window);
  return parent != nullptr ? Control::FromHandle(parent) : nullptr;
}

}  // namespace

int ScreenDpi() {
  static const int dpi = [] {
    HDC screen = ::GetDC(nullptr);
    const int value = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return value > 0 ? value : 96;
  }();
  return dpi;
}

int Scale(int pixels96) { return ::MulDiv(pixels96, ScreenDpi(), 96); }

HBRUSH WhiteBrush() { return static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)); }

Control::~Control() {
  if (hwnd_ != nullptr && ::IsWindow(hwnd_)) {
    ::RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
    ::RemovePropW(hwnd_, kControlProperty);
  }
}

HWND Control::Create(const ControlArgs& args) {
  tCreating = this;
  tCreatingId = args.id;
  hwnd_ =
      ::CreateWindowExW(args.exStyle, args.className, args.text.c_str(), args.style | WS_CHILD | WS_VISIBLE,
                        Scale(args.x), Scale(args.y), Scale(args.width), Scale(args.height), args.parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(args.id)), ::GetModuleHandleW(nullptr), nullptr);
  tCreating = nullptr;
  tCreatingId = 0;
  if (hwnd_ != nullptr) {
    ::SetPropW(hwnd_, kControlProperty, this);
    if (args.font != nullptr) SetFont(args.font);
  }
  return hwnd_;
}

Control* Control::FromHandle(HWND window) {
  return window != nullptr ? static_cast<Control*>(::GetPropW(window, kControlProperty)) : nullptr;
}

void Control::SetText(std::wstring_view text) { ::SetWindowTextW(hwnd_, std::wstring(text).c_str()); }

std::wstring Control::Text() const {
  const int length = ::GetWindowTextLengthW(hwnd_);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(hwnd_, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

void Control::SetEnabled(bool enabled) { ::EnableWindow(hwnd_, enabled ? TRUE : FALSE); }
bool Control::Enabled() const { return ::IsWindowEnabled(hwnd_) != FALSE; }
void Control::SetFont(HFONT font) { ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }
void Control::Focus() { ::SetFocus(hwnd_); }

void Control::Subclass() { ::SetWindowSubclass(hwnd_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)); }

void Control::SubclassChild(HWND child) {
  if (child != nullptr) ::SetWindowSubclass(child, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT Control::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK Control::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR data) {
  if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(window, SubclassProc, kSubclassId);
    return ::DefSubclassProc(window, message, wParam, lParam);
  }
  return reinterpret_cast<Control*>(data)->OnMessage(window, message, wParam, lParam);
}

bool ReflectToControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND: {
      Control* control = lParam != 0 ? Control::FromHandle(reinterpret_cast<HWND>(lParam)) : nullptr;
      if (control == nullptr || !control->OnCommand(HIWORD(wParam))) return false;
      result = 0;
      return true;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      Control* control = header != nullptr ? Control::FromHandle(header->hwndFrom) : nullptr;
      return control != nullptr && control->OnNotify(*header, result);
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      Control* control = Control::FromHandle(item->hwndItem);
      if (control == nullptr || !control->OnDrawItem(*item)) return false;
      result = TRUE;
      return true;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      Control* control = ControlById(parent, static_cast<int>(item->CtlID));
      if (control == nullptr || !control->OnMeasureItem(*item)) return false;
      result = TRUE;
      return true;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX: {
      Control* control = ControlOrOwner(reinterpret_cast<HWND>(lParam));
      HBRUSH brush = control != nullptr ? control->OnCtlColor(reinterpret_cast<HDC>(wParam)) : nullptr;
      if (brush == nullptr) return false;
      result = reinterpret_cast<LRESULT>(brush);
      return true;
    }
    default: return false;
  }
}

// ---- Label ----

void Label::Create(ControlArgs args, COLORREF color) {
  color_ = color;
  if (args.className == nullptr) args.className = WC_STATICW;
  Control::Create(args);
}

HBRUSH Label::OnCtlColor(HDC dc) {
  ::SetTextColor(dc, color_);
  ::SetBkColor(dc, RGB(255, 255, 255));
  return WhiteBrush();
}

// ---- Button ----

void Button::Create(ControlArgs args) {
  args.className = WC_BUTTONW;
  args.style |= WS_TABSTOP;
  Control::Create(args);
}

bool Button::OnCommand(WORD notification) {
  if (notification != BN_CLICKED) return false;
  if (OnClick) OnClick();
  return true;
}

void ColoredButton::Create(ControlArgs args, COLORREF textColor) {
  textColor_ = textColor;
  font_ = args.font;
  args.style |= BS_OWNERDRAW;
  Button::Create(args);
}

bool ColoredButton::OnDrawItem(const DRAWITEMSTRUCT& item) {
  RECT box = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  ::DrawFrameControl(item.hDC, &box, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
  std::wstring text = Text();
  RECT textBox = box;
  if (pressed) ::OffsetRect(&textBox, 1, 1);
  ::SetBkMode(item.hDC, TRANSPARENT);
  ::SetTextColor(item.hDC, disabled ? ::GetSysColor(COLOR_GRAYTEXT) : textColor_);
  // The device context comes with the system font, not the button's own.
  HGDIOBJ oldFont = font_ != nullptr ? ::SelectObject(item.hDC, font_) : nullptr;
  ::DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &textBox,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (oldFont != nullptr) ::SelectObject(item.hDC, oldFont);
  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
    RECT focus = box;
    ::InflateRect(&focus, -Scale(4), -Scale(4));
    ::DrawFocusRect(item.hDC, &focus);
  }
  return true;
}

// ---- CheckBox ----

void CheckBox::Create(ControlArgs args) {
  args.className = WC_BUTTONW;
  args.style |= BS_AUTOCHECKBOX | WS_TABSTOP;
  Control::Create(args);
}

bool CheckBox::Checked() const { return ::SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void CheckBox::SetChecked(bool checked) {
  ::SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CheckBox::OnCommand(WORD notification) {
  if (notification != BN_CLICKED) return false;
  if (OnClick) OnClick();
  return true;
}

HBRUSH CheckBox::OnCtlColor(HDC dc) {
  ::SetBkColor(dc, RGB(255, 255, 255));
  return WhiteBrush();
}

// ---- Edit ----

void Edit::Create(ControlArgs args) {
  args.className = WC_EDITW;
  args.style |= WS_TABSTOP | ES_AUTOHSCROLL;
  args.exStyle |= WS_EX_CLIENTEDGE;
  Control::Create(args);
}

void Edit::SetReadOnly(bool readOnly) { ::SendMessageW(Handle(), EM_SETREADONLY, readOnly ? TRUE : FALSE, 0); }
bool Edit::ReadOnly() const { return (::GetWindowLongW(Handle(), GWL_STYLE) & ES_READONLY) != 0; }

bool Edit::OnCommand(WORD notification) {
  if (notification != EN_CHANGE) return false;
  if (OnChange) OnChange();
  return true;
}

// A read-only edit keeps the white of an editable one: the text must stay readable.
HBRUSH Edit::OnCtlColor(HDC dc) {
  ::SetTextColor(dc, RGB(0, 0, 0));
  ::SetBkColor(dc, RGB(255, 255, 255));
  return WhiteBrush();
}

// ---- ComboBox ----

void ComboBox::Create(ControlArgs args) {
  args.className = WC_COMBOBOXW;
  args.style |= WS_VSCROLL;
  Control::Create(args);
}

void ComboBox::Clear() { ::SendMessageW(Handle(), CB_RESETCONTENT, 0, 0); }

void ComboBox::AddItem(std::wstring_view text) {
  const std::wstring item(text);
  ::SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

int ComboBox::Count() const { return static_cast<int>(::SendMessageW(Handle(), CB_GETCOUNT, 0, 0)); }

std::wstring ComboBox::ItemText(int index) const {
  const LRESULT length = ::SendMessageW(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied =
      ::SendMessageW(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
  return text;
}

int ComboBox::SelectedIndex() const { return static_cast<int>(::SendMessageW(Handle(), CB_GETCURSEL, 0, 0)); }
void ComboBox::Select(int index) { ::SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

HWND ComboBox::EditField() const {
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  if (!::GetComboBoxInfo(Handle(), &info)) return nullptr;
  return info.hwndItem != Handle() ? info.hwndItem : nullptr;
}

bool ComboBox::OnCommand(WORD notification) {
  switch (notification) {
    case CBN_SELCHANGE:
      if (OnSelectionChange) OnSelectionChange();
      return true;
    case CBN_EDITCHANGE:
      if (OnEditChange) OnEditChange();
      return true;
    default: return false;
  }
}

HBRUSH ComboBox::OnCtlColor(HDC dc) {
  ::SetTextColor(dc, textColor_);
  ::SetBkColor(dc, RGB(255, 255, 255));
  return WhiteBrush();
}

}  // namespace wb::win32
