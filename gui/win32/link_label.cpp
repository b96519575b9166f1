// LinkLabel: the layout is made on first use with the label's width and kept;
// painting and hit-testing read it.
#include "gui/win32/link_label.h"

#include <windowsx.h>

#include "gui/win32/gdi_surface.h"
#include "gui/win32/win32_text.h"

namespace wb::win32 {
namespace {

UINT AnchorPointMessage() {
  static const UINT message = ::RegisterWindowMessageW(kAnchorPointMessageName);
  return message;
}

}  // namespace

void LinkLabel::RegisterClassOnce() {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kLinkLabelClass;
    return ::RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

void LinkLabel::Create(ControlArgs args, const std::string& markup, bool wrap, TSurfaceFont font) {
  RegisterClassOnce();
  markup_ = markup;
  wrap_ = wrap;
  font_ = std::move(font);
  args.className = kLinkLabelClass;
  // The window's text is the plain text: what screen readers and WM_GETTEXT give.
  args.text = Wide(LinkTextPlain(markup_));
  if (LinkTextAnchorCount(markup_) > 0) args.style |= WS_TABSTOP;
  Control::Create(args);
  Subclass();
}

const TLinkTextLayout& LinkLabel::Layout() {
  if (!layout_) {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    HDC dc = ::GetDC(Handle());
    {
      GdiSurface surface(dc);
      surface.SetFont(font_);
      layout_ = LayoutLinkText(surface, markup_, wrap_ ? client.right : 0, wrap_);
    }
    ::ReleaseDC(Handle(), dc);
  }
  return *layout_;
}

void LinkLabel::Paint() {
  PAINTSTRUCT paint{};
  HDC dc = ::BeginPaint(Handle(), &paint);
  RECT client{};
  ::GetClientRect(Handle(), &client);
  ::FillRect(dc, &client, WhiteBrush());
  const TLinkTextLayout& layout = Layout();
  {
    GdiSurface surface(dc);
    surface.SetFont(font_);
    const bool enabled = ::IsWindowEnabled(Handle()) != FALSE;
    const TColor text = enabled ? font_.Color : ::GetSysColor(COLOR_GRAYTEXT);
    DrawLinkText(surface, layout, 0, 0, {text, enabled ? clBlue : text});
  }
  if (::GetFocus() == Handle() && focusedAnchor_ >= 1 && focusedAnchor_ <= AnchorCount()) {
    for (const TRect& box : layout.Anchors[static_cast<size_t>(focusedAnchor_ - 1)].Boxes) {
      const RECT frame{box.Left, box.Top, box.Right, box.Bottom};
      ::DrawFocusRect(dc, &frame);
    }
  }
  ::EndPaint(Handle(), &paint);
}

void LinkLabel::Activate(int anchor) {
  // The handler may close or rebuild the window: take the target first.
  const std::string target = Layout().TargetOf(anchor);
  if (OnAnchorClick) OnAnchorClick(target);
}

LRESULT LinkLabel::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return TRUE;
    case WM_SIZE:
      layout_.reset();
      ::InvalidateRect(window, nullptr, TRUE);
      break;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        POINT point{};
        ::GetCursorPos(&point);
        ::ScreenToClient(window, &point);
        if (Layout().AnchorAt(point.x, point.y) > 0) {
          ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
          return TRUE;
        }
      }
      break;
    case WM_LBUTTONDOWN: pressedAnchor_ = Layout().AnchorAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_LBUTTONUP: {
      // A click is a press and a release on the same link, as with a button.
      const int pressed = pressedAnchor_;
      pressedAnchor_ = 0;
      if (pressed > 0 && Layout().AnchorAt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)) == pressed) Activate(pressed);
      return 0;
    }
    case WM_GETDLGCODE:
      if (lParam != 0) {
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        if (key->message == WM_KEYDOWN && (key->wParam == VK_RETURN || key->wParam == VK_SPACE))
          return DLGC_WANTMESSAGE;
      }
      return DLGC_WANTARROWS;
    case WM_KEYDOWN:
      if ((wParam == VK_RETURN || wParam == VK_SPACE) && focusedAnchor_ <= AnchorCount()) {
        Activate(focusedAnchor_);
        return 0;
      }
      if (wParam == VK_RIGHT || wParam == VK_DOWN || wParam == VK_LEFT || wParam == VK_UP) {
        const int step = (wParam == VK_RIGHT || wParam == VK_DOWN) ? 1 : -1;
        const int next = focusedAnchor_ + step;
        if (next >= 1 && next <= AnchorCount()) focusedAnchor_ = next;
        ::InvalidateRect(window, nullptr, FALSE);
        return 0;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: ::InvalidateRect(window, nullptr, FALSE); break;
    case WM_ENABLE: ::InvalidateRect(window, nullptr, FALSE); break;
    default:
      if (message == AnchorPointMessage()) {
        const int anchor = static_cast<int>(wParam);
        if (anchor < 1 || anchor > AnchorCount()) return 0;
        const auto& boxes = Layout().Anchors[static_cast<size_t>(anchor - 1)].Boxes;
        if (boxes.empty()) return 0;
        const TRect& box = boxes.front();
        return MAKELRESULT((box.Left + box.Right) / 2, (box.Top + box.Bottom) / 2);
      }
      break;
  }
  return Control::OnMessage(window, message, wParam, lParam);
}

}  // namespace wb::win32
