// Test main for the main window tests: a QApplication on the offscreen platform
// with the core's hooks going through Qt, as in the program.
#include <gtest/gtest.h>

#include <QApplication>

#include "gui/qt/qt_ui_hooks.h"
#include "platform/ui_hooks.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  wb::gui::QtUiHooks hooks;
  wb::platform::SetUiHooks(&hooks);
  ::testing::InitGoogleTest(&argc, argv);
  int result = RUN_ALL_TESTS();
  wb::platform::SetUiHooks(nullptr);
  return result;
}
