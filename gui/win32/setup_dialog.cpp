// SetupDialog: the editor's controls at their places, its events and its
// modal run.
#include "gui/win32/setup_dialog.h"

#include "gui/win32/control_ids.h"
#include "gui/win32/gdi_surface.h"
#include "gui/win32/message_loop.h"
#include "gui/win32/message_presenter.h"
#include "gui/win32/win32_text.h"
#include "platform/codepage.h"

namespace wb::win32 {
namespace {

constexpr int kFieldLeft = 108;
constexpr int kFieldWidth = 377;
constexpr int kFieldHeight = 23;
constexpr int kDropDownHeight = 200;  // the field and its open list
constexpr int kLabelRight = 102;      // field labels end here, right-aligned before their field
constexpr int kActionWidth = 249;
constexpr COLORREF kLabelBlue = RGB(0, 0, 255);
constexpr COLORREF kWarningRed = RGB(255, 0, 0);
constexpr DWORD kWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The drop-downs: label, field, top; the name edit stands above them at 16.
struct FieldPlace {
  const char* label;
  SetupField field;
  int top;
};
constexpr FieldPlace kFieldPlaces[] = {
    {"Layout:", SetupField::FilterLayoutName, 84},
    {"Typname:", SetupField::FilterPOT, 111},
    {"Ausgabeziel:", SetupField::FilterOutput, 138},
    {"Ziel:", SetupField::Destination, 194},
    {"Layout:", SetupField::SuperLayoutname, 223},
    {"Top/Bottom:", SetupField::LabelPrinter, 253},
    {"Drucker:", SetupField::Printer, 282},
    {"Schacht:", SetupField::Bin, 311},
    {"Duplex:", SetupField::Duplex, 341},
    {"Anzahl:", SetupField::Count, 370},
};

// Keys that leave a read-only field's value alone: moving between fields and closing the dialog.
bool KeyKeepsValue(WPARAM key) { return key == VK_TAB || key == VK_ESCAPE || key == VK_SHIFT; }

bool IsLayoutField(SetupField field) {
  return field == SetupField::FilterLayoutName || field == SetupField::SuperLayoutname;
}

void RegisterClassOnce() {
  static const bool registered = [] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = WhiteBrush();
    windowClass.lpszClassName = kSetupDialogClass;
    return ::RegisterClassExW(&windowClass) != 0;
  }();
  (void)registered;
}

}  // namespace

// ---- SetupComboBox ----

void SetupComboBox::Create(ControlArgs args, const SetupDialog& dialog) {
  dialog_ = &dialog;
  args.style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_TABSTOP;
  ComboBox::Create(args);
  Subclass();
  SubclassChild(EditField());
}

void SetupComboBox::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  if (HWND edit = EditField()) ::SendMessageW(edit, EM_SETREADONLY, readOnly ? TRUE : FALSE, 0);
  if (readOnly) ::SendMessageW(Handle(), CB_SHOWDROPDOWN, FALSE, 0);
  CoverButton(readOnly);
  ::InvalidateRect(Handle(), nullptr, TRUE);
}

// The edit field laid over the button (read-only) or back in its own place.
void SetupComboBox::CoverButton(bool cover) {
  HWND edit = EditField();
  if (edit == nullptr) return;
  if (!editPlaceKnown_) {
    ::GetWindowRect(edit, &editPlace_);
    ::MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&editPlace_), 2);
    editPlaceKnown_ = true;
  }
  RECT place = editPlace_;
  if (cover) {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    place.right = client.right - (editPlace_.left - client.left);
  }
  ::MoveWindow(edit, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
}

bool SetupComboBox::OnCommand(WORD notification) {
  switch (notification) {
    case CBN_SELCHANGE: {
      // The field shows the picked item only after this notification: the text is taken from the list.
      const int index = SelectedIndex();
      if (index >= 0) SetText(ItemText(index));
      if (OnTextChange) OnTextChange();
      return true;
    }
    case CBN_EDITCHANGE:
      if (OnTextChange) OnTextChange();
      return true;
    case CBN_DROPDOWN:
      if (readOnly_) ::PostMessageW(Handle(), CB_SHOWDROPDOWN, FALSE, 0);
      return true;
    default: return false;
  }
}

LRESULT SetupComboBox::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT && window == Handle() && readOnly_) {
    // A read-only field shows no drop-down button: its place is painted over.
    const LRESULT result = ComboBox::OnMessage(window, message, wParam, lParam);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (::GetComboBoxInfo(window, &info)) {
      HDC dc = ::GetDC(window);
      ::FillRect(dc, &info.rcButton, WhiteBrush());
      ::ReleaseDC(window, dc);
    }
    return result;
  }
  if (dialog_ != nullptr && dialog_->DiscardsInput()) {
    switch (message) {
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN:
        if (!KeyKeepsValue(wParam)) return 0;
        break;
      case WM_CHAR:
        if (wParam != L'\t' && wParam != 27) return 0;
        break;
      case WM_MOUSEWHEEL:
      case WM_PASTE:
      case WM_CUT:
      case WM_CLEAR:
      case WM_UNDO: return 0;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        // On the drop-down itself (not its edit) a click would open the list.
        if (window == Handle()) {
          ::SetFocus(EditField() != nullptr ? EditField() : window);
          return 0;
        }
        break;
      default: break;
    }
  }
  return ComboBox::OnMessage(window, message, wParam, lParam);
}

// ---- ActionComboBox ----

void ActionComboBox::Create(ControlArgs args) {
  // Not reached with Tab: no WS_TABSTOP.
  args.className = WC_COMBOBOXW;
  args.style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL;
  Control::Create(args);
}

bool ActionComboBox::OnMeasureItem(MEASUREITEMSTRUCT& item) {
  item.itemHeight = static_cast<UINT>(Scale(item.itemID == static_cast<UINT>(-1) ? 17 : 18));
  return true;
}

bool ActionComboBox::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  RECT box = item.rcItem;
  ::SetDCBrushColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  ::FillRect(item.hDC, &box, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
  if (item.itemID == static_cast<UINT>(-1)) return true;
  const std::wstring text = ItemText(static_cast<int>(item.itemID));
  HGDIOBJ old = ::SelectObject(item.hDC, UiFont(9, true));
  ::SetBkMode(item.hDC, TRANSPARENT);
  ::SetTextColor(item.hDC, selected ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : kWarningRed);
  box.left += Scale(3);
  ::DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &box,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  ::SelectObject(item.hDC, old);
  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0)
    ::DrawFocusRect(item.hDC, &item.rcItem);
  return true;
}

// ---- SetupDialog ----

SetupDialog::SetupDialog(TSetupServices services, HWND owner)
    : form_(std::make_unique<TSetupFrm>(*this, std::move(services))), owner_(owner) {
  RegisterClassOnce();
  RECT frame{0, 0, Scale(kClientWidth), Scale(kClientHeight)};
  ::AdjustWindowRectEx(&frame, kWindowStyle, FALSE, kWindowExStyle);
  hwnd_ = ::CreateWindowExW(kWindowExStyle, kSetupDialogClass, L"Print & PDF", kWindowStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                            ::GetModuleHandleW(nullptr), nullptr);
  AttachWindowOwner(hwnd_, this);
  BuildControls();
  form_->FormCreate();
}

SetupDialog::~SetupDialog() {
  form_->FormDestroy();
  ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&::DefWindowProcW));
  ::DestroyWindow(hwnd_);
}

SetupDialogFactory SetupDialog::Factory(HWND owner) {
  return [owner](TSetupServices services) -> std::unique_ptr<ISetupDialog> {
    return std::make_unique<SetupDialog>(std::move(services), owner);
  };
}

void SetupDialog::AddLabel(const char* text, bool heading, int x, int y, int width, bool alignRight) {
  ControlArgs args;
  args.parent = hwnd_;
  args.style = SS_NOPREFIX | (alignRight ? SS_RIGHT : SS_LEFT);
  args.x = x;
  args.y = y + (alignRight ? 3 : 0);
  args.width = width;
  args.height = 20;
  args.font = UiFont(10, heading);
  args.text = Wide(text);
  auto label = std::make_unique<Label>();
  label->Create(args, kLabelBlue);
  labels_.push_back(std::move(label));
}

void SetupDialog::BuildControls() {
  HFONT fieldFont = UiFont(9, true);
  HFONT dialogFont = UiFont(10, false);
  auto at = [this](int id, int x, int y, int width, int height, HFONT font) {
    ControlArgs args;
    args.parent = hwnd_;
    args.id = id;
    args.x = x;
    args.y = y;
    args.width = width;
    args.height = height;
    args.font = font;
    return args;
  };

  // Created top to bottom: that is the Tab order.
  AddLabel("Name:", false, 0, 16, kLabelRight, true);
  name_.Create(at(kIdName, kFieldLeft, 16, kFieldWidth, kFieldHeight, fieldFont));

  ControlArgs forbidden = at(kIdForbidden, 180, 41, 125, 18, dialogFont);
  forbidden.text = L"Nicht benutzen";
  forbidden_.Create(forbidden);

  exampleLink_.Create(at(kIdExampleLink, 312, 39, 195, 18, dialogFont),
                      "<A href=\"E\">Beispieltext mit Bild einbauen</A>", false, UiSurfaceFont(10, false, clBlack));
  exampleLink_.OnAnchorClick = [this](const std::string&) { Guarded([&] { form_->LinkLabel1AnchorClick(); }); };

  AddLabel("Ausgabefilter:", true, 30, 55, 200, false);
  for (const FieldPlace& place : kFieldPlaces) {
    if (place.field == SetupField::Destination) AddLabel("Zieleigenschaften:", true, 30, 166, 200, false);
    AddLabel(place.label, false, 0, place.top, kLabelRight, true);
    SetupComboBox& combo = Field(place.field);
    combo.Create(at(kIdFieldBase + static_cast<int>(place.field), kFieldLeft, place.top, kFieldWidth, kDropDownHeight,
                    fieldFont),
                 *this);
    const SetupField field = place.field;
    combo.OnTextChange = [this, field] { FieldChanged(field); };
  }

  storageLink_.Create(at(kIdStorageLink, 24, 410, 160, 18, dialogFont),
                      wb::Ansi(u8"<A href=\"O\">Speicherort öffnen</A>"), false, UiSurfaceFont(10, false, clBlack));
  storageLink_.OnAnchorClick = [this](const std::string& target) {
    Guarded([&] { form_->LinkLabel2AnchorClick(target); });
  };

  actions_.Create(at(kIdAction, 236, 411, kActionWidth, kDropDownHeight, fieldFont));
  actions_.OnSelectionChange = [this] { Guarded([&] { form_->ComboBoxActionChange(); }); };
}

void SetupDialog::FieldChanged(SetupField field) {
  Guarded([&] {
    if (field == SetupField::Printer) form_->DCCChange();
    if (field == SetupField::Bin) form_->BinChange();
    if (IsLayoutField(field)) form_->LayoutNameChange(field);
  });
}

void SetupDialog::ShowModal() {
  RECT window{};
  ::GetWindowRect(hwnd_, &window);
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  ::SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - (window.right - window.left)) / 2,
                 work.top + (work.bottom - work.top - (window.bottom - window.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
  closed_ = false;
  if (owner_ != nullptr) ::EnableWindow(owner_, FALSE);
  ::ShowWindow(hwnd_, SW_SHOWNORMAL);
  if (!shownOnce_) {
    shownOnce_ = true;
    Guarded([&] { form_->FormShow(); });
  }
  name_.Focus();
  RunMessageLoopUntil([this] { return closed_; });
  // The owner is enabled before this window goes, so the system activates it again.
  if (owner_ != nullptr) ::EnableWindow(owner_, TRUE);
  ::ShowWindow(hwnd_, SW_HIDE);
  if (owner_ != nullptr) ::SetActiveWindow(owner_);
}

LRESULT SetupDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (ReflectToControl(hwnd_, message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_CLOSE: closed_ = true; return 0;
    case WM_COMMAND:
      // Escape in a dialog-like window (IsDialogMessage) closes it, as the close box does.
      if (LOWORD(wParam) == IDCANCEL && lParam == 0) closed_ = true;
      return 0;
    default: break;
  }
  return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

// ---- ISetupView ----

std::string SetupDialog::FieldText(SetupField field) const {
  if (field == SetupField::Name) return Narrow(name_.Text());
  return Narrow(Field(field).Text());
}

// A field set by the program changes as if typed: the layout colour and the bins follow it.
void SetupDialog::SetFieldText(SetupField field, const std::string& text) {
  if (field == SetupField::Name) {
    name_.SetText(Wide(text));
    return;
  }
  Field(field).SetText(Wide(text));
  FieldChanged(field);
}

void SetupDialog::SetFieldItems(SetupField field, const std::vector<std::string>& items) {
  if (field == SetupField::Name) return;
  // Replacing the list neither changes the field's text nor counts as the user's change.
  SetupComboBox& combo = Field(field);
  const std::wstring text = combo.Text();
  combo.Clear();
  for (const std::string& item : items) combo.AddItem(Wide(item));
  combo.SetText(text);
}

bool SetupDialog::ForbiddenChecked() const { return forbidden_.Checked(); }
void SetupDialog::SetForbiddenChecked(bool checked) { forbidden_.SetChecked(checked); }

void SetupDialog::SetFieldsReadOnly(bool readOnly) {
  name_.SetReadOnly(readOnly);
  forbidden_.SetEnabled(!readOnly);
  for (const FieldPlace& place : kFieldPlaces) Field(place.field).SetReadOnly(readOnly);
}

void SetupDialog::SetFieldWarning(SetupField field, bool warning) {
  if (field == SetupField::Name) return;
  SetupComboBox& combo = Field(field);
  combo.SetTextColor(warning ? kWarningRed : RGB(0, 0, 0));
  if (HWND edit = combo.EditField()) ::InvalidateRect(edit, nullptr, TRUE);
}

void SetupDialog::SetActionItems(const std::vector<std::string>& items) {
  actions_.Clear();
  for (const std::string& item : items) actions_.AddItem(Wide(item));
}

int SetupDialog::ActionIndex() const { return actions_.SelectedIndex(); }
void SetupDialog::SetActionIndex(int index) { actions_.Select(index); }

}  // namespace wb::win32
