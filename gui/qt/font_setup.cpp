// BackgroundFontSetUp: one reader thread, joined by whoever needs the fonts first.
#include "gui/qt/font_setup.h"

#include <mutex>
#include <thread>

#if WB_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace wb::gui {
namespace {

std::mutex gReaderMutex;
std::thread gReader;

}  // namespace

BackgroundFontSetUp::BackgroundFontSetUp() {
#if WB_HAVE_FONTCONFIG
  std::lock_guard<std::mutex> lock(gReaderMutex);
  if (!gReader.joinable()) gReader = std::thread([] { FcInit(); });
#endif
}

BackgroundFontSetUp::~BackgroundFontSetUp() { WaitForFontSetUp(); }

void WaitForFontSetUp() {
  std::lock_guard<std::mutex> lock(gReaderMutex);
  if (gReader.joinable()) gReader.join();
}

}  // namespace wb::gui
