// Stand-ins for the entry editor: a view that keeps the fields, lists and
// states the logic sets, and a dialog whose "modal showing" runs a script of
// what the user does, so EditSelectedEntry runs without a toolkit.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "entries/setup_form.h"
#include "platform/ui_hooks.h"

namespace wb::test {

class RecordingSetupView : public ISetupView {
 public:
  std::string FieldText(SetupField field) const override {
    auto found = texts.find(field);
    return found == texts.end() ? std::string() : found->second;
  }
  void SetFieldText(SetupField field, const std::string& text) override { texts[field] = text; }
  void SetFieldItems(SetupField field, const std::vector<std::string>& values) override { items[field] = values; }
  bool ForbiddenChecked() const override { return checked; }
  void SetForbiddenChecked(bool value) override { checked = value; }
  void SetFieldsReadOnly(bool value) override { readOnly = value; }
  void SetFieldWarning(SetupField field, bool warning) override { warnings[field] = warning; }
  void SetActionItems(const std::vector<std::string>& values) override { actions = values; }
  int ActionIndex() const override { return action; }
  void SetActionIndex(int index) override { action = index; }

  std::map<SetupField, std::string> texts;
  std::map<SetupField, std::vector<std::string>> items;
  std::map<SetupField, bool> warnings;
  bool checked = false;
  bool readOnly = false;
  std::vector<std::string> actions;
  int action = -1;
};

// A dialog: the form over a recording view; ShowModal runs the user's script.
class ScriptedSetupDialog : public ISetupDialog {
 public:
  using Script = std::function<void(ScriptedSetupDialog&)>;
  ScriptedSetupDialog(TSetupServices services, Script script)
      : form(view, std::move(services)), script_(std::move(script)) {
    form.FormCreate();
  }
  ~ScriptedSetupDialog() override { form.FormDestroy(); }
  TSetupFrm& Form() override { return form; }
  void ShowModal() override {
    form.FormShow();
    ++shown;
    if (script_) script_(*this);
  }

  // The user picks an action in the list at the bottom.
  void PickAction(int index) {
    view.SetActionIndex(index);
    form.ComboBoxActionChange();
  }
  // The user types into a field: the keys are discarded while read-only;
  // otherwise the text replaces the field's and its change event follows.
  void Type(SetupField field, const std::string& text) {
    if (form.DCCKeyPress()) return;
    view.SetFieldText(field, text);
    if (field == SetupField::Printer) form.DCCChange();
    if (field == SetupField::Bin) form.BinChange();
    if (field == SetupField::FilterLayoutName || field == SetupField::SuperLayoutname) form.LayoutNameChange(field);
  }
  // The check box is disabled while read-only.
  void ClickForbidden() {
    if (!view.readOnly) view.checked = !view.checked;
  }

  RecordingSetupView view;
  TSetupFrm form;
  int shown = 0;

 private:
  Script script_;
};

// A factory of scripted dialogs that counts what it made.
struct ScriptedDialogs {
  ScriptedSetupDialog::Script script;
  int made = 0;
  SetupDialogFactory Factory() {
    return [this](TSetupServices services) {
      auto dialog = std::make_unique<ScriptedSetupDialog>(std::move(services), script);
      ++made;
      return std::unique_ptr<ISetupDialog>(std::move(dialog));
    };
  }
};

// Runs a callback at the first pump of a wait (as a click would arrive) and
// records the busy cursor.
class WindowHooks : public platform::UiHooks {
 public:
  bool PumpMessages(unsigned maxWaitMs) override {
    if (onPump) {
      auto once = std::move(onPump);
      onPump = nullptr;
      once();
    }
    return UiHooks::PumpMessages(std::min(maxWaitMs, 5u));
  }
  void SetBusyCursor(bool busy) override { cursor.push_back(busy); }
  std::function<void()> onPump;
  std::vector<bool> cursor;
};

}  // namespace wb::test
