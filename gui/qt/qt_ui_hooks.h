// The core's user-interface hooks on Qt: waits run a nested event loop bounded
// by a timer and ended early by WakeUp; the busy cursor is Qt's override
// cursor; the right Ctrl key is tracked from the native key events (X11
// keysym Control_R; never held where the platform does not tell, e.g. Wayland).
#pragma once

#include <QObject>
#include <atomic>

#include "platform/ui_hooks.h"

class QEventLoop;

namespace wb::gui {

class QtUiHooks : public QObject, public platform::UiHooks {
  Q_OBJECT

 public:
  QtUiHooks();
  ~QtUiHooks() override;

  bool PumpMessages(unsigned maxWaitMs) override;
  void SetBusyCursor(bool busy) override;
  bool IsRightControlDown() override;
  void WakeUp() override;

  // The application was asked to end (last window closed or quit called).
  bool QuitRequested() const { return quitRequested_.load(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::atomic<bool> woken_{false};
  std::atomic<bool> quitRequested_{false};
  bool rightControlDown_ = false;
  bool busyCursorShown_ = false;
  QEventLoop* waitLoop_ = nullptr;  // the innermost wait in progress
};

}  // namespace wb::gui
