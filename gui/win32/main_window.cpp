// MainWindow: layout and event forwarding of the main window.
#include "gui/win32/main_window.h"

#include <memory>
#include <type_traits>

#include "app/entry_menu.h"
#include "app/main_window_features.h"
#include "app/main_window_texts.h"
#include "gui/win32/control_ids.h"
#include "gui/win32/gdi_surface.h"
#include "gui/win32/message_presenter.h"
#include "gui/win32/setup_dialog.h"
#include "gui/win32/ui_hooks.h"
#include "gui/win32/win32_text.h"
#include "platform/codepage.h"
#include "platform/foreground.h"

namespace wb::win32 {
namespace {

constexpr COLORREF kStripeFill = RGB(128, 128, 192);
constexpr COLORREF kStripeOutline = RGB(128, 128, 255);
constexpr COLORREF kRunButtonText = RGB(0, 0, 255);
constexpr UINT kFormShowMessage = WM_APP + 1;
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

struct MenuDestroyer {
  void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

void RegisterClassOnce() {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = WhiteBrush();
    windowClass.hIcon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    windowClass.lpszClassName = kMainWindowClass;
    return ::RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

}  // namespace

MainWindow::MainWindow(IServerLink& server, IFileOpener& opener, std::vector<std::string> arguments)
    : logic_(std::make_unique<TLiveImportFrm>(*this, server, opener, std::move(arguments))) {
  RegisterClassOnce();
  RECT frame{0, 0, Scale(kClientWidth), Scale(kClientHeight)};
  ::AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
  hwnd_ = ::CreateWindowExW(kWindowExStyle, kMainWindowClass, L"Mehrfachausgabe", kWindowStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            ::GetModuleHandleW(nullptr), nullptr);
  AttachWindowOwner(hwnd_, this);
  AttachMainWindowFeatures(*logic_, SetupDialog::Factory(hwnd_));
  BuildControls();
}

MainWindow::~MainWindow() {
  logic_->FormDestroy();
  ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&::DefWindowProcW));
  ::DestroyWindow(hwnd_);
}

void MainWindow::BuildControls() {
  // Panel coordinates start right of the stripe.
  auto at = [this](int id, int x, int y, int width, int height, HFONT font) {
    ControlArgs args;
    args.parent = hwnd_;
    args.id = id;
    args.x = kStripeWidth + x;
    args.y = y;
    args.width = width;
    args.height = height;
    args.font = font;
    return args;
  };
  const int panelWidth = kClientWidth - kStripeWidth;
  HFONT normal = UiFont(9, false);
  HFONT bold = UiFont(9, true);

  intro_.Create(at(kIdIntroLabel, 6, 6, panelWidth - 12, 50, normal), wb::Ansi(kIntroText), true,
                UiSurfaceFont(9, false, clBlack));
  intro_.OnAnchorClick = [this](const std::string&) { Guarded([&] { logic_->LinkLabel2AnchorClick(); }); };

  list_.Create(at(kIdEntryList, 8, 60, 377, 24 + 16 * EntryList::kRowHeight, bold));
  list_.OnSelectionChange = [this] { Guarded([&] { logic_->DCCChange(); }); };
  list_.OnEnter = [this] { Guarded([&] { logic_->DCCKeyDown(13); }); };
  list_.OnContextMenu = [this](POINT screen) { ShowEntryMenu(screen); };

  links_.Create(at(kIdLinkLabel, 11, 94, 140, 44, normal), wb::Ansi(kLinkText), false,
                UiSurfaceFont(9, false, clBlack));
  links_.OnAnchorClick = [this](const std::string& target) { Guarded([&] { logic_->LinkLabel1AnchorClick(target); }); };

  ControlArgs run = at(kIdRunButton, 231, 92, 151, 41, bold);
  run.text = L"Los!";
  runButton_.Create(run, kRunButtonText);
  runButton_.OnClick = [this] { Guarded([&] { logic_->Button1Click(); }); };

  ControlArgs open = at(kIdOpenPdf, 152, 114, 73, 17, normal);
  open.text = WideUtf8(u8"Öffnen");
  openPdf_.Create(open);

  completePdf_.Create(at(kIdCompletePdfLabel, 72, 144, panelWidth - 72, 20, normal), wb::Ansi(kCompletePdfText), false,
                      UiSurfaceFont(9, false, clBlack));
  completePdf_.OnAnchorClick = [this](const std::string&) { Guarded([&] { logic_->LinkLabel3AnchorClick(); }); };
}

// The items and what they do come from the logic; an item's command id is its
// place in the list plus one (0 is the menu closed without a choice).
void MainWindow::ShowEntryMenu(POINT screen) {
  Guarded([&] {
    const std::vector<TEntryMenuItem> items = EntryMenuItems(*logic_);
    MenuHandle menu(::CreatePopupMenu());
    if (!menu) return;
    for (size_t i = 0; i < items.size(); ++i)
      ::AppendMenuW(menu.get(), static_cast<UINT>(MF_STRING | (items[i].Enabled ? MF_ENABLED : MF_GRAYED)), i + 1,
                    Wide(items[i].Text).c_str());
    const auto chosen = static_cast<size_t>(
        ::TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, screen.x,
                           screen.y, hwnd_, nullptr));
    if (chosen == 0 || chosen > items.size()) return;
    RunEntryMenuAction(*logic_, items[chosen - 1].Action);
  });
}

void MainWindow::Create() {
  Guarded([&] { logic_->FormCreate(); });
}

void MainWindow::Show() {
  RECT window{};
  ::GetWindowRect(hwnd_, &window);
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  ::SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ::ShowWindow(hwnd_, SW_SHOWNORMAL);
  // The window starts with the focus in the list: Enter there runs the entry.
  list_.Focus();
  // Painted at once, the controls too, before any other message is handled.
  ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  if (quitWhenPainted_) ::PostQuitMessage(0);
}

void MainWindow::Paint() {
  PAINTSTRUCT paint{};
  HDC dc = ::BeginPaint(hwnd_, &paint);
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  ::FillRect(dc, &client, WhiteBrush());
  RECT stripe{0, 0, Scale(kStripeWidth), client.bottom};
  ::SetDCBrushColor(dc, kStripeFill);
  ::FillRect(dc, &stripe, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
  ::SetDCBrushColor(dc, kStripeOutline);
  ::FrameRect(dc, &stripe, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
  ::EndPaint(hwnd_, &paint);
}

// The close is never vetoed: the settings are written, the window goes out of
// sight and the message loop ends; the window itself is destroyed with the object.
void MainWindow::Close() {
  if (closing_) return;
  closing_ = true;
  Guarded([&] { logic_->FormClose(); });
  ::ShowWindow(hwnd_, SW_HIDE);
  ::PostQuitMessage(0);
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (ReflectToControl(hwnd_, message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return TRUE;
    case WM_SHOWWINDOW:
      if (wParam != FALSE && !shownOnce_) {
        shownOnce_ = true;
        // After the window is on screen, like the first showing of a form.
        ::PostMessageW(hwnd_, kFormShowMessage, 0, 0);
      }
      break;
    case kFormShowMessage: Guarded([&] { logic_->FormShow(); }); return 0;
    case WM_SETCURSOR:
      if (Win32UiHooks::BusyCursorShown()) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_CLOSE: Close(); return 0;
    case WM_COMMAND:
      // Enter with the focus on "Los!": the keyboard navigation asks the window for its
      // default action; a push button outside a dialog is no default button of its own.
      if (LOWORD(wParam) == IDOK && ::GetFocus() == runButton_.Handle() && runButton_.Enabled()) {
        Guarded([&] { logic_->Button1Click(); });
        return 0;
      }
      break;
    default: break;
  }
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

// ---- IMainView ----

void MainWindow::SetCaption(const std::string& caption) { ::SetWindowTextW(hwnd_, Wide(caption).c_str()); }

void MainWindow::SetEntryLines(const TStringList& lines) {
  list_.Clear();
  for (int i = 0; i < lines.Count(); ++i) list_.AddItem(Wide(lines[i]));
  list_.Select(-1);
}

int MainWindow::SelectedIndex() const { return list_.SelectedIndex(); }
void MainWindow::SelectIndex(int index) { list_.Select(index); }

void MainWindow::SetRunButtonText(const std::string& text) {
  runButton_.SetText(Wide(text));
  ::UpdateWindow(runButton_.Handle());
}

void MainWindow::SetRunButtonEnabled(bool enabled) { runButton_.SetEnabled(enabled); }
bool MainWindow::OpenPdfChecked() const { return openPdf_.Checked(); }
void MainWindow::SetOpenPdfChecked(bool checked) { openPdf_.SetChecked(checked); }
void MainWindow::SetOpenPdfEnabled(bool enabled) { openPdf_.SetEnabled(enabled); }
void MainWindow::PostClose() { ::PostMessageW(hwnd_, WM_CLOSE, 0, 0); }

void MainWindow::BringToFront() { platform::BringWindowToForeground(hwnd_); }

}  // namespace wb::win32
