// The entry editor "Print & PDF" on Win32: a fixed 511 x 450 modal window with
// the entry's fields as editable drop-downs, the "Nicht benutzen" check box,
// the two links and the red action list at the bottom. It shows what TSetupFrm
// sets and forwards its events there. While read-only the name is a read-only
// edit, the check box is disabled, and the drop-downs' fields are read-only
// with their lists shut: key presses, wheel turns and clicks on the button are
// discarded; the edit field is widened over the drop-down button, so a
// read-only drop-down shows as a plain field.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "entries/setup_form.h"
#include "gui/win32/controls.h"
#include "gui/win32/link_label.h"

namespace wb::win32 {

class SetupDialog;

// An editable drop-down of the editor that the dialog can make read-only.
class SetupComboBox : public ComboBox {
 public:
  void Create(ControlArgs args, const SetupDialog& dialog);
  void SetReadOnly(bool readOnly);
  // The text of the field, after the user picked an item from the list.
  std::function<void()> OnTextChange;
  bool OnCommand(WORD notification) override;

 protected:
  LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void CoverButton(bool cover);

  const SetupDialog* dialog_ = nullptr;
  bool readOnly_ = false;
  RECT editPlace_{};  // where the drop-down put its edit field
  bool editPlaceKnown_ = false;
};

// The red action list: a drop-down list drawn by the program.
class ActionComboBox : public ComboBox {
 public:
  void Create(ControlArgs args);
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  bool OnMeasureItem(MEASUREITEMSTRUCT& item) override;
};

class SetupDialog final : public ISetupView, public ISetupDialog {
 public:
  static constexpr int kClientWidth = 511;
  static constexpr int kClientHeight = 450;

  SetupDialog(TSetupServices services, HWND owner);
  ~SetupDialog() override;
  SetupDialog(const SetupDialog&) = delete;
  SetupDialog& operator=(const SetupDialog&) = delete;

  // The factory the main window's editor link uses.
  static SetupDialogFactory Factory(HWND owner);

  // ISetupDialog
  TSetupFrm& Form() override { return *form_; }
  void ShowModal() override;

  // ISetupView
  std::string FieldText(SetupField field) const override;
  void SetFieldText(SetupField field, const std::string& text) override;
  void SetFieldItems(SetupField field, const std::vector<std::string>& items) override;
  bool ForbiddenChecked() const override;
  void SetForbiddenChecked(bool checked) override;
  void SetFieldsReadOnly(bool readOnly) override;
  void SetFieldWarning(SetupField field, bool warning) override;
  void SetActionItems(const std::vector<std::string>& items) override;
  int ActionIndex() const override;
  void SetActionIndex(int index) override;

  // A key or a pick in a field must be discarded (the fields are read-only).
  bool DiscardsInput() const { return form_->DCCKeyPress(); }
  HWND Handle() const { return hwnd_; }

 private:
  template <class Owner>
  friend LRESULT CALLBACK OwnerWindowProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void BuildControls();
  void AddLabel(const char* text, bool heading, int x, int y, int width, bool alignRight);
  SetupComboBox& Field(SetupField field) { return fields_[static_cast<size_t>(field)]; }
  const SetupComboBox& Field(SetupField field) const { return fields_[static_cast<size_t>(field)]; }
  void FieldChanged(SetupField field);

  std::unique_ptr<TSetupFrm> form_;
  HWND owner_;
  HWND hwnd_ = nullptr;
  std::vector<std::unique_ptr<Label>> labels_;
  Edit name_;
  CheckBox forbidden_;
  LinkLabel exampleLink_;
  LinkLabel storageLink_;
  std::array<SetupComboBox, kSetupFieldCount> fields_;
  ActionComboBox actions_;
  bool shownOnce_ = false;
  bool closed_ = false;
};

}  // namespace wb::win32
