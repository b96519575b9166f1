// QtUiHooks: waits that keep the window alive without polling.
#include "gui/qt/qt_ui_hooks.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>

#include "platform/codepage.h"
#include "platform/keyboard.h"

namespace wb::gui {
namespace {
constexpr quint32 kXKeysymControlR = 0xffe4;
}

QtUiHooks::QtUiHooks() {
  qApp->installEventFilter(this);
  connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { quitRequested_ = true; });
  connect(qApp, &QGuiApplication::lastWindowClosed, this, [this] {
    quitRequested_ = true;
    if (waitLoop_) waitLoop_->quit();
  });
}

QtUiHooks::~QtUiHooks() {
  if (qApp) qApp->removeEventFilter(this);
}

bool QtUiHooks::PumpMessages(unsigned maxWaitMs) {
  if (quitRequested_) return false;
  if (woken_.exchange(false)) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !quitRequested_;
  }
  QEventLoop loop;
  QEventLoop* outer = waitLoop_;
  waitLoop_ = &loop;
  QTimer timer;
  timer.setSingleShot(true);
  connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  timer.start(static_cast<int>(maxWaitMs));
  loop.exec();
  waitLoop_ = outer;
  woken_ = false;
  return !quitRequested_;
}

void QtUiHooks::WakeUp() {
  woken_ = true;
  // From any thread: the quit runs on the gui thread.
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (waitLoop_) waitLoop_->quit();
      },
      Qt::QueuedConnection);
}

void QtUiHooks::SetBusyCursor(bool busy) {
  if (busy == busyCursorShown_) return;
  busyCursorShown_ = busy;
  if (busy) QApplication::setOverrideCursor(Qt::BusyCursor);
  else QApplication::restoreOverrideCursor();
}

bool QtUiHooks::IsRightControlDown() {
  // Windows tells the key's state at any time (GetKeyState); X11 only in events.
  bool held = false;
  if (platform::QueryRightControlKey(held)) return held;
  return rightControlDown_;
}

bool QtUiHooks::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->nativeVirtualKey() == kXKeysymControlR) rightControlDown_ = event->type() == QEvent::KeyPress;
  } else if (event->type() == QEvent::ApplicationDeactivate) {
    rightControlDown_ = false;  // the release may go to another program
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace wb::gui
