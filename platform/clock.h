// The time the core measures its waits and pauses with: the wait for the
// server's spool file, the pauses between attempts of the retrying file
// operations, the pauses that keep the window alive. The real clock is the
// system's steady clock and sleeps for real. A test installs a clock of its
// own whose time moves only when the code sleeps or waits for window events,
// so a ten-second wait costs nothing and no result depends on the machine's load.
#pragma once

#include <cstdint>

namespace wb::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since a fixed point of the process's life; never goes back.
  virtual int64_t NowMs();
  // Blocks the calling thread for the given time.
  virtual void Sleep(int milliseconds);
};

// The clock in force (never nullptr). The object stays owned by the caller of
// SetClock and must outlive its installation; nullptr restores the real clock.
Clock& GetClock();
void SetClock(Clock* clock);

}  // namespace wb::platform
