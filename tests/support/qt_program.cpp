// The set-up of the Qt test programs: a QApplication on the offscreen platform
// (unless the caller chose another), kept running when a tested window closes,
// and the core's waits and busy cursor going through Qt, as in the program.
#include <QApplication>

#include "gui/qt/qt_ui_hooks.h"
#include "platform/ui_hooks.h"
#include "support/test_main.h"

namespace wb::test {
namespace {

class QtTestProgram : public TestProgramScope {
 public:
  QtTestProgram(int& argc, char** argv) : application_(argc, argv) {
    QApplication::setQuitOnLastWindowClosed(false);
    platform::SetUiHooks(&hooks_);
  }
  ~QtTestProgram() override { platform::SetUiHooks(nullptr); }

 private:
  QApplication application_;
  gui::QtUiHooks hooks_;
};

}  // namespace

std::unique_ptr<TestProgramScope> EnterTestProgram(int& argc, char** argv, std::optional<int>&) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  return std::make_unique<QtTestProgram>(argc, argv);
}

}  // namespace wb::test
