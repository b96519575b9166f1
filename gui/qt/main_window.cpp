// MainWindow: layout and event forwarding of the main window.
#include "gui/qt/main_window.h"
#include "gui/qt/ansi_text.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "app/entry_menu.h"
#include "app/main_window_features.h"
#include "app/main_window_texts.h"
#include "gui/qt/entry_combo_box.h"
#include "gui/qt/html_link_label.h"
#include "gui/qt/message_presenter.h"
#include "gui/qt/setup_dialog.h"
#include "gui/qt/ui_fonts.h"
#include "platform/codepage.h"

namespace wb::gui {
namespace {

const QColor kStripeFill(128, 128, 192);
const QColor kStripeOutline(128, 128, 255);

}  // namespace

MainWindow::MainWindow(IServerLink& server, IFileOpener& opener, std::vector<std::string> arguments, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  logic_ = std::make_unique<TLiveImportFrm>(*this, server, opener, std::move(arguments));
  AttachMainWindowFeatures(*logic_, SetupDialog::Factory(this));
  setFixedSize(kClientWidth, kClientHeight);
  setWindowTitle("Mehrfachausgabe");
  BuildControls();
}

MainWindow::~MainWindow() { logic_->FormDestroy(); }

void MainWindow::BuildControls() {
  // Panel coordinates start right of the stripe.
  auto at = [](QWidget* widget, int x, int y, int w, int h) { widget->setGeometry(kStripeWidth + x, y, w, h); };
  const int panelWidth = kClientWidth - kStripeWidth;

  intro_ = new HtmlLinkLabel(this);
  intro_->setMarkup(Ansi(kIntroText));
  intro_->setWordWrap(true);
  at(intro_, 6, 6, panelWidth - 12, 50);
  connect(intro_, &HtmlLinkLabel::anchorClicked, this, [this] { Guarded([&] { logic_->LinkLabel2AnchorClick(); }); });

  list_ = new EntryComboBox(this);
  at(list_, 8, 60, 377, 24);
  connect(list_, qOverload<int>(&QComboBox::activated), this, [this] { Guarded([&] { logic_->DCCChange(); }); });
  connect(list_, &EntryComboBox::enterPressed, this, [this] { Guarded([&] { logic_->DCCKeyDown(13); }); });
  // The list's context menu: its items and their actions come from the logic.
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(list_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& position) { ShowEntryMenu(position); });

  links_ = new HtmlLinkLabel(this);
  links_->setMarkup(Ansi(kLinkText));
  at(links_, 11, 94, 140, 44);
  connect(links_, &HtmlLinkLabel::anchorClicked, this,
          [this](const QString& target) { Guarded([&] { logic_->LinkLabel1AnchorClick(ToAnsi(target)); }); });

  runButton_ = new QPushButton("Los!", this);
  QPalette blueText = runButton_->palette();
  blueText.setColor(QPalette::ButtonText, Qt::blue);
  runButton_->setPalette(blueText);
  at(runButton_, 231, 92, 151, 41);
  connect(runButton_, &QPushButton::clicked, this, [this] { Guarded([&] { logic_->Button1Click(); }); });
  // A push button outside a dialog is no default button: Enter would do nothing.
  runButton_->installEventFilter(this);

  openPdf_ = new QCheckBox(FromUtf8(u8"Öffnen"), this);
  at(openPdf_, 152, 114, 73, 17);

  completePdf_ = new HtmlLinkLabel(this);
  completePdf_->setMarkup(Ansi(kCompletePdfText));
  completePdf_->setWordWrap(false);
  at(completePdf_, 72, 144, panelWidth - 72, 20);
  connect(completePdf_, &HtmlLinkLabel::anchorClicked, this,
          [this] { Guarded([&] { logic_->LinkLabel3AnchorClick(); }); });

  // The window starts with the focus in the list: Enter there runs the entry.
  list_->setFocus();

  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);
}

// The fonts are set only when the window is going to be shown: a start
// without a database closes again without reading the font configuration.
void MainWindow::Create() {
  Guarded([&] { logic_->FormCreate(); });
  if (!logic_->DatabaseFolder().empty()) ApplyFonts();
}

void MainWindow::ApplyFonts() {
  setFont(UiFont(9, false));
  list_->setFont(UiFont(9, true));
  runButton_->setFont(UiFont(9, true));
}

void MainWindow::ShowEntryMenu(const QPoint& at) {
  QMenu menu(this);
  for (const TEntryMenuItem& item : EntryMenuItems(*logic_)) {
    QAction* action = menu.addAction(FromAnsi(item.Text));
    action->setEnabled(item.Enabled);
    action->setData(static_cast<int>(item.Action));
  }
  QAction* chosen = menu.exec(list_->mapToGlobal(at));
  if (chosen == nullptr) return;
  const auto action = static_cast<EntryMenuAction>(chosen->data().toInt());
  Guarded([&] { RunEntryMenuAction(*logic_, action); });
}

void MainWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  QRect stripe(0, 0, kStripeWidth, height());
  painter.fillRect(stripe, kStripeFill);
  painter.setPen(kStripeOutline);
  painter.drawRect(stripe.adjusted(0, 0, -1, -1));
  if (!painted_) {
    painted_ = true;
    emit firstPainted();
  }
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  if (QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  // After the window is on screen, like the first showing of a form.
  QTimer::singleShot(0, this, [this] { Guarded([&] { logic_->FormShow(); }); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == runButton_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      runButton_->click();  // does nothing while the button is disabled (a run in progress)
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!closing_) {
    closing_ = true;
    Guarded([&] { logic_->FormClose(); });
  }
  event->accept();  // the close is never vetoed
}

// ---- IMainView ----

void MainWindow::SetCaption(const std::string& caption) { setWindowTitle(FromAnsi(caption)); }

void MainWindow::SetEntryLines(const TStringList& lines) {
  list_->clear();
  for (int i = 0; i < lines.Count(); ++i) list_->addItem(FromAnsi(lines[i]));
  list_->setCurrentIndex(-1);
}

int MainWindow::SelectedIndex() const { return list_->currentIndex(); }
void MainWindow::SelectIndex(int index) { list_->setCurrentIndex(index); }
void MainWindow::SetRunButtonText(const std::string& text) {
  runButton_->setText(FromAnsi(text));
  runButton_->repaint();
}
void MainWindow::SetRunButtonEnabled(bool enabled) { runButton_->setEnabled(enabled); }
bool MainWindow::OpenPdfChecked() const { return openPdf_->isChecked(); }
void MainWindow::SetOpenPdfChecked(bool checked) { openPdf_->setChecked(checked); }
void MainWindow::SetOpenPdfEnabled(bool enabled) { openPdf_->setEnabled(enabled); }
void MainWindow::BringToFront() {
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void MainWindow::PostClose() { QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection); }

}  // namespace wb::gui
