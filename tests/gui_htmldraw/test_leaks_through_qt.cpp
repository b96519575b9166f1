// The leak check of the AddressSanitizer build must see a leak in our own code
// even when Qt called that code: a slot runs with Qt's signal dispatch on the
// stack, and a suppression that names a whole Qt library (tests/lsan.supp)
// would hide every leak of every slot. This program is the smallest one with a
// QApplication, so the check lives here.
#include <gtest/gtest.h>

#include <QObject>
#include <cstdlib>
#include <string>

#include "support/sanitizers.h"

#ifdef WB_ADDRESS_SANITIZER
#include <sanitizer/lsan_interface.h>

namespace {

std::string* volatile lastLeaked = nullptr;

TEST(LeaksThroughQtDeathTest, ALeakInASlotThatQtCalledIsReported) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto didNotEndCleanly = [](int status) { return !::testing::ExitedWithCode(0)(status); };
  EXPECT_EXIT(
      {
        QObject sender;
        QObject::connect(&sender, &QObject::objectNameChanged, [] { lastLeaked = new std::string(200, 'x'); });
        // Several leaked blocks, each forgotten: the check must report them
        // even though every allocation stack runs through libQt6Core.
        for (int i = 0; i < 16; ++i) {
          sender.setObjectName(QString::number(i));
          lastLeaked = nullptr;
        }
        __lsan_do_leak_check();
        std::_Exit(0);
      },
      didNotEndCleanly, "LeakSanitizer: detected memory leaks");
}

}  // namespace
#endif
