// The busy cursor. The animated cursors of the Windows side are the toolkit's
// business; the core keeps the cursor id and asks the gui to show or hide it.
#include "client/busy_cursor.h"

#include <atomic>

#include "platform/ui_hooks.h"

namespace wb {
namespace {
std::atomic<int> gCursorId{kDefaultCursorId};
}  // namespace

void BusyCursorOn() {
  gCursorId.store(kBusyCursorId);
  platform::GetUiHooks().SetBusyCursor(true);
}

void BusyCursorOff() {
  gCursorId.store(kDefaultCursorId);
  platform::GetUiHooks().SetBusyCursor(false);
}

int CurrentCursorId() { return gCursorId.load(); }

}  // namespace wb
