// The floor for the start-up benchmark: a bare Qt window of the main window's
// size that ends after its first paint, as mehrfachausgabe does with
// WB_QUIT_WHEN_SHOWN.
#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace {
class BareWindow : public QWidget {
 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter(this).fillRect(rect(), Qt::white);
    if (!painted_) {
      painted_ = true;
      QTimer::singleShot(0, qApp, &QApplication::quit);
    }
  }
  bool painted_ = false;
};
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  BareWindow window;
  window.setFixedSize(413, 173);
  window.show();
  return QApplication::exec();
}
