// What the core needs from the user interface without depending on a toolkit:
// pumping window events during waits, the busy cursor and the right-Ctrl state.
// (Message boxes go through their own seam, client/message_boxes.h.) The gui
// installs its implementation at start; without one the defaults sleep and
// report no key held.
#pragma once

#include <string>

namespace wb::platform {

class UiHooks {
 public:
  virtual ~UiHooks() = default;
  // Handles pending window events, waiting at most maxWaitMs for one to arrive.
  // Returns false when the application was asked to quit (the quit is kept).
  virtual bool PumpMessages(unsigned maxWaitMs);
  // Shows (true) or removes (false) the application's busy cursor.
  virtual void SetBusyCursor(bool busy);
  // Whether the right Ctrl key is held down right now.
  virtual bool IsRightControlDown();
  // Ends a PumpMessages that is waiting, from any thread (a watched file
  // appeared, say); a wake-up that comes before the wait ends the next one.
  virtual void WakeUp();
};

// The hooks in force (never nullptr). The object stays owned by the caller of
// SetUiHooks and must outlive its installation; nullptr restores the defaults.
UiHooks& GetUiHooks();
void SetUiHooks(UiHooks* hooks);

}  // namespace wb::platform
