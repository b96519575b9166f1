// The main window, "Mehrfachausgabe", on Win32: a fixed 413 x 173 dialog-like
// window with the coloured stripe, the white panel, the entry list, "Los!",
// "Öffnen" and the three link labels. It shows what TLiveImportFrm sets and
// forwards its events there.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/live_import_frm.h"
#include "app/main_view.h"
#include "gui/win32/controls.h"
#include "gui/win32/entry_list.h"
#include "gui/win32/link_label.h"

namespace wb::win32 {

class MainWindow final : public IMainView {
 public:
  static constexpr int kClientWidth = 413;
  static constexpr int kClientHeight = 173;
  static constexpr int kStripeWidth = 13;

  MainWindow(IServerLink& server, IFileOpener& opener, std::vector<std::string> arguments);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Makes the window (hidden) and runs its creation: start-up against the server.
  void Create();
  // Shows it centred on the screen; its first showing runs the direct start.
  void Show();
  // Ends the program's message loop once the window and its controls were painted for the first time.
  void QuitWhenPainted() { quitWhenPainted_ = true; }

  HWND Handle() const { return hwnd_; }
  TLiveImportFrm& Logic() { return *logic_; }

  // IMainView
  void SetCaption(const std::string& caption) override;
  void SetEntryLines(const TStringList& lines) override;
  int SelectedIndex() const override;
  void SelectIndex(int index) override;
  void SetRunButtonText(const std::string& text) override;
  void SetRunButtonEnabled(bool enabled) override;
  bool OpenPdfChecked() const override;
  void SetOpenPdfChecked(bool checked) override;
  void SetOpenPdfEnabled(bool enabled) override;
  void PostClose() override;
  void BringToFront() override;

 private:
  template <class Owner>
  friend LRESULT CALLBACK OwnerWindowProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void BuildControls();
  void ShowEntryMenu(POINT screen);
  void Paint();
  void Close();

  std::unique_ptr<TLiveImportFrm> logic_;
  HWND hwnd_ = nullptr;
  LinkLabel intro_;
  EntryList list_;
  LinkLabel links_;
  ColoredButton runButton_;
  CheckBox openPdf_;
  LinkLabel completePdf_;
  bool shownOnce_ = false;
  bool closing_ = false;
  bool quitWhenPainted_ = false;
};

}  // namespace wb::win32
