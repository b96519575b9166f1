// The system's font configuration, read on a second thread while the program
// starts. Reading it (dozens of configuration files) is the largest single
// cost of showing the first window; meanwhile the window logic talks to the
// server and loads the entries, which needs no fonts.
//
//   BackgroundFontSetUp fonts;  // first thing in main
//   ...                         // start-up work without fonts
//   WaitForFontSetUp();         // before the first font is asked for
//
// Where the system has no such configuration (Windows), both do nothing.
#pragma once

namespace wb::gui {

class BackgroundFontSetUp {
 public:
  BackgroundFontSetUp();
  ~BackgroundFontSetUp();  // waits for the reading to end
  BackgroundFontSetUp(const BackgroundFontSetUp&) = delete;
  BackgroundFontSetUp& operator=(const BackgroundFontSetUp&) = delete;
};

// Returns when no background reading runs any more. Font users call it before
// their first font: two threads reading the configuration at once would both
// do the whole work.
void WaitForFontSetUp();

}  // namespace wb::gui
