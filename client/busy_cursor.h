// The busy cursor shown while the tool waits for the suite's server. The gui
// shows it through the platform's UI hooks.
#pragma once

namespace wb {

inline constexpr int kBusyCursorId = -4995;
inline constexpr int kDefaultCursorId = 0;

void BusyCursorOn();
void BusyCursorOff();
// The id last set (kBusyCursorId or kDefaultCursorId).
int CurrentCursorId();

}  // namespace wb
