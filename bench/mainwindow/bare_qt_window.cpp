// The floor for the start-up benchmark: a bare Qt window of the main window's
// size that ends after its first paint, as mehrfachausgabe does with
// WB_QUIT_WHEN_SHOWN. With the argument "--label" the window also shows one
// line of plain text, which makes Qt load its font database: the part of any
// window with text that the program cannot avoid.
#include <QApplication>
#include <QLabel>
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
  if (argc > 1 && QString(argv[1]) == "--label") {
    auto* label = new QLabel("Mehrfachausgabe", &window);
    label->move(20, 20);
  }
  window.show();
  return QApplication::exec();
}
