// Paces the repaints of a window whose caption changes faster than a
// screen can show it, as the status bar's does once a frame during a run.
// The first change repaints at once; changes that follow within one
// interval wait for the pacer's timer, which repaints once for all of
// them. The last caption is therefore always on screen within an interval,
// and a run no longer pays a paint per frame (under Wine a paint of the
// status bar costs as much as the frame's waves).
#pragma once

#include <windows.h>

namespace rillmark::ui::win32 {

// What a pacer keeps time by: a timer that sends the window WM_TIMER with
// the pacer's id every interval until stopped. The window's own timer
// (SetTimer) unless a test installs a clock it ticks by hand.
class PacerClock {
 public:
  virtual ~PacerClock() = default;
  // False when no timer could be started.
  virtual bool start(HWND window, UINT_PTR id, UINT intervalMs) = 0;
  virtual void stop(HWND window, UINT_PTR id) = 0;
};

// The clock of every pacer from now on; null goes back to the window's timer.
void setPacerClock(PacerClock* clock);

class RepaintPacer {
 public:
  // About one refresh of a 60 Hz screen.
  static constexpr UINT kIntervalMs = 16;
  // Chosen apart from the ids a native control's own procedure may use.
  static constexpr UINT_PTR kTimerId = 0x524D5000;

  // The window's caption changed: invalidate it now or at the next tick.
  void captionChanged(HWND window);
  // A WM_TIMER of the window; true when it was the pacer's.
  bool timer(HWND window, WPARAM id);

 private:
  bool ticking_ = false;  // a repaint came within the interval
  bool waiting_ = false;  // a change since then waits for the tick
};

}  // namespace rillmark::ui::win32
