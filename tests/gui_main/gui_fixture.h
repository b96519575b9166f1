// The real main window offscreen, with its own Qt ui hooks and a private home.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>

#include "app_fakes.h"
#include "client/file_helpers.h"
#include "client/message_boxes.h"
#include "gui/qt/main_window.h"
#include "gui/qt/qt_ui_hooks.h"
#include "opening/open_files.h"
#include "platform/ui_hooks.h"
#include "support/message_recorder.h"
#include "support/temp_env.h"

namespace wb::test {

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRetryPauseMsForTesting(0);
    test::Messages().TakeShownTexts();
    hooks = std::make_unique<gui::QtUiHooks>();
    platform::SetUiHooks(hooks.get());
  }
  void TearDown() override {
    // A document the test opened starts its program on the process-wide pool,
    // reading the environment that the next test's TempEnv changes.
    EXPECT_TRUE(OpeningThreadPool().WaitUntilIdle(10000));
    window.reset();
    platform::SetUiHooks(nullptr);
    hooks.reset();
    SetRetryPauseMsForTesting(-1);
  }
  void Open(IServerLink& server, IFileOpener& opener) {
    window = std::make_unique<gui::MainWindow>(server, opener, std::vector<std::string>{});
    window->Create();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  }

  TempEnv env;
  std::unique_ptr<gui::QtUiHooks> hooks;
  std::unique_ptr<gui::MainWindow> window;
};

}  // namespace wb::test
