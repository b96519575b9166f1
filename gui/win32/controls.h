// A thin layer of small classes over the system's controls. Each control is
// made from one arguments struct (parent, class, style, position, font, text,
// id); the notifications a control sends its parent (WM_COMMAND, WM_NOTIFY,
// WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLOR*) are reflected back to the object
// that owns the control, so a window's procedure only forwards them:
//
//   LRESULT result = 0;
//   if (win32::ReflectToControl(hwnd, message, wParam, lParam, result)) return result;
//
// Positions are given in pixels at 96 dpi and scaled to the screen's dpi.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "gui/win32/win32_headers.h"

namespace wb::win32 {

struct ControlArgs {
  HWND parent = nullptr;
  const wchar_t* className = nullptr;  // WC_BUTTONW, WC_COMBOBOXW, a class of ours, ...
  DWORD style = 0;                     // WS_CHILD and WS_VISIBLE are always added
  DWORD exStyle = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  HFONT font = nullptr;
  std::wstring text;
  int id = 0;
};

// The screen's pixels per inch, and a length at 96 dpi scaled to it.
int ScreenDpi();
int Scale(int pixels96);

class Control {
 public:
  Control() = default;
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  HWND Handle() const { return hwnd_; }
  void SetText(std::wstring_view text);
  std::wstring Text() const;
  void SetEnabled(bool enabled);
  bool Enabled() const;
  void SetFont(HFONT font);
  void Focus();

  // The control behind a window handle, nullptr for windows that are none of ours.
  static Control* FromHandle(HWND window);

  // Notifications reflected from the parent; true when handled.
  virtual bool OnCommand(WORD notification) { return false; }
  virtual bool OnNotify(NMHDR& header, LRESULT& result) { return false; }
  virtual bool OnDrawItem(const DRAWITEMSTRUCT& item) { return false; }
  virtual bool OnMeasureItem(MEASUREITEMSTRUCT& item) { return false; }
  // Text colour and background of the control (or of its child edit): a brush, or nullptr for the default.
  virtual HBRUSH OnCtlColor(HDC dc) { return nullptr; }

 protected:
  HWND Create(const ControlArgs& args);
  // Routes the control's own messages to OnMessage (comctl32's window subclassing).
  void Subclass();
  // Also routes the messages of a child window of the control (a combo box's edit) to OnMessage.
  void SubclassChild(HWND child);
  virtual LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data);
  HWND hwnd_ = nullptr;
};

bool ReflectToControl(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// ---- the controls ----

class Label : public Control {
 public:
  void Create(ControlArgs args, COLORREF color);
  HBRUSH OnCtlColor(HDC dc) override;

 private:
  COLORREF color_ = 0;
};

class Button : public Control {
 public:
  void Create(ControlArgs args);
  std::function<void()> OnClick;
  bool OnCommand(WORD notification) override;
};

// A push button drawn by the program, for a text colour of its own ("Los!" in blue).
class ColoredButton : public Button {
 public:
  void Create(ControlArgs args, COLORREF textColor);
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

 private:
  COLORREF textColor_ = 0;
  HFONT font_ = nullptr;
};

class CheckBox : public Control {
 public:
  void Create(ControlArgs args);
  bool Checked() const;
  void SetChecked(bool checked);
  std::function<void()> OnClick;
  bool OnCommand(WORD notification) override;
  HBRUSH OnCtlColor(HDC dc) override;
};

class Edit : public Control {
 public:
  void Create(ControlArgs args);
  void SetReadOnly(bool readOnly);
  bool ReadOnly() const;
  std::function<void()> OnChange;
  bool OnCommand(WORD notification) override;
  HBRUSH OnCtlColor(HDC dc) override;
};

class ComboBox : public Control {
 public:
  void Create(ControlArgs args);
  void Clear();
  void AddItem(std::wstring_view text);
  int Count() const;
  std::wstring ItemText(int index) const;
  int SelectedIndex() const;
  void Select(int index);
  // The edit field of an editable drop-down (nullptr for a drop-down list).
  HWND EditField() const;
  void SetTextColor(COLORREF color) { textColor_ = color; }

  std::function<void()> OnSelectionChange;  // the user picked an item
  std::function<void()> OnEditChange;       // the user changed the field's text
  bool OnCommand(WORD notification) override;
  HBRUSH OnCtlColor(HDC dc) override;

 private:
  COLORREF textColor_ = RGB(0, 0, 0);
};

// The white brush of the windows' panels.
HBRUSH WhiteBrush();

// A top-level window owned by an object: its messages go to Owner::OnMessage
// (reached through the object kept in GWLP_USERDATA; before that, and after
// DetachWindowOwner, the system's default handling).
template <class Owner>
LRESULT CALLBACK OwnerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* owner = reinterpret_cast<Owner*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (owner == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
  return owner->OnMessage(message, wParam, lParam);
}

template <class Owner>
void AttachWindowOwner(HWND window, Owner* owner) {
  ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
  ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OwnerWindowProc<Owner>));
}

}  // namespace wb::win32
