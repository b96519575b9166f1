// The entry editor "Print & PDF" on Qt: a fixed 511 x 450 dialog with the
// entry's fields as editable drop-downs, the "Nicht benutzen" check box, the
// two links and the red action list at the bottom. It shows what TSetupFrm
// sets and forwards its events there. While read-only every drop-down is a
// plain field: no drop-down button, no list, key presses and wheel turns
// discarded; the name is read-only and the check box disabled.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <array>
#include <memory>
#include <string>

#include "entries/setup_form.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace wb::gui {

class HtmlLinkLabel;

// An editable drop-down that can be switched to a read-only plain field.
class SetupComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit SetupComboBox(QWidget* parent = nullptr);
  void setReadOnly(bool readOnly);
  bool isReadOnly() const { return readOnly_; }
  void showPopup() override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  bool readOnly_ = false;
};

class SetupDialog : public QDialog, public ISetupView, public ISetupDialog {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 511;
  static constexpr int kClientHeight = 450;

  explicit SetupDialog(TSetupServices services, QWidget* parent = nullptr);
  ~SetupDialog() override;

  // The factory the main window's editor link uses.
  static SetupDialogFactory Factory(QWidget* parent);

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

  // For tests: the controls.
  QLineEdit* NameEdit() const { return name_; }
  // The drop-down of a field (nullptr for the name).
  SetupComboBox* Field(SetupField field) const;
  QCheckBox* ForbiddenBox() const { return forbidden_; }
  QComboBox* ActionBox() const { return actions_; }
  HtmlLinkLabel* ExampleLink() const { return exampleLink_; }
  HtmlLinkLabel* StorageLink() const { return storageLink_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  QLabel* AddLabel(const char* text, bool heading);
  void AddFieldLabel(const char* text, int fieldTop);

  std::unique_ptr<TSetupFrm> form_;
  QLineEdit* name_ = nullptr;
  std::array<SetupComboBox*, kSetupFieldCount> fields_{};
  QCheckBox* forbidden_ = nullptr;
  HtmlLinkLabel* exampleLink_ = nullptr;
  HtmlLinkLabel* storageLink_ = nullptr;
  QComboBox* actions_ = nullptr;
  bool shownOnce_ = false;
};

}  // namespace wb::gui
