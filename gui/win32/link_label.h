// The windows' link label on Win32: a short text in the entry-name markup with
// bold, line breaks and links, laid out by LayoutLinkText and drawn through
// the GDI surface; a click on a link reports the link's target text ("E",
// "L", "x", ...). With the focus (Tab), Enter or Space activates the first
// link and the arrow keys move between links.
//
// kAnchorPointMessage (a registered message) answers where link n (from 1)
// lies: the centre of its first box in client coordinates, MAKELRESULT(x, y),
// 0 when there is no such link. Tools that drive the window (tests, screen
// readers' scripts) click there.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "gui/win32/controls.h"
#include "htmldraw/link_text.h"

namespace wb::win32 {

inline constexpr wchar_t kLinkLabelClass[] = L"WbLinkLabel";
inline constexpr wchar_t kAnchorPointMessageName[] = L"WbLinkLabelAnchorPoint";

class LinkLabel : public Control {
 public:
  // args.text is ignored: the markup is 8-bit text; wrap breaks lines at the label's width.
  // The window's own text becomes the markup's plain text.
  void Create(ControlArgs args, const std::string& markup, bool wrap, TSurfaceFont font);
  const std::string& Markup() const { return markup_; }

  std::function<void(const std::string& target)> OnAnchorClick;

 protected:
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  static void RegisterClassOnce();
  const TLinkTextLayout& Layout();
  void Paint();
  void Activate(int anchor);
  int AnchorCount() { return static_cast<int>(Layout().Anchors.size()); }

  std::string markup_;
  bool wrap_ = true;
  TSurfaceFont font_;
  std::optional<TLinkTextLayout> layout_;
  int pressedAnchor_ = 0;
  int focusedAnchor_ = 1;
};

}  // namespace wb::win32
