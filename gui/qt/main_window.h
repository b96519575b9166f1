// The main window, "Mehrfachausgabe": a fixed 413 x 173 dialog with the
// coloured stripe, the white panel, the entry list, "Los!", "Öffnen" and the
// three link labels. It shows what TLiveImportFrm sets and forwards events.
#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "app/live_import_frm.h"
#include "app/main_view.h"

class QCheckBox;
class QPushButton;

namespace wb::gui {

class EntryComboBox;
class HtmlLinkLabel;

class MainWindow : public QWidget, public IMainView {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 413;
  static constexpr int kClientHeight = 173;
  static constexpr int kStripeWidth = 13;

  MainWindow(IServerLink& server, IFileOpener& opener, std::vector<std::string> arguments, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Runs the window's creation (start-up against the server); sets the
  // window's fonts unless the window closes again at once.
  void Create();
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

  // For tests: the controls.
  EntryComboBox* EntryList() const { return list_; }
  QPushButton* RunButton() const { return runButton_; }
  QCheckBox* OpenPdfBox() const { return openPdf_; }
  HtmlLinkLabel* LinkLabel() const { return links_; }

 signals:
  // Once, after the window was painted for the first time.
  void firstPainted();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void ShowEntryMenu(const QPoint& at);
  void ApplyFonts();

  std::unique_ptr<TLiveImportFrm> logic_;
  EntryComboBox* list_ = nullptr;
  QPushButton* runButton_ = nullptr;
  QCheckBox* openPdf_ = nullptr;
  HtmlLinkLabel* intro_ = nullptr;
  HtmlLinkLabel* links_ = nullptr;
  HtmlLinkLabel* completePdf_ = nullptr;
  bool shownOnce_ = false;
  bool closing_ = false;
  bool painted_ = false;
};

}  // namespace wb::gui
