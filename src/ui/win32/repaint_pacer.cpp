#include "ui/win32/repaint_pacer.h"

namespace rillmark::ui::win32 {

namespace {

class WindowTimer : public PacerClock {
 public:
  bool start(HWND window, UINT_PTR id, UINT intervalMs) override {
    return SetTimer(window, id, intervalMs, nullptr) != 0;
  }
  void stop(HWND window, UINT_PTR id) override { KillTimer(window, id); }
};

PacerClock*& installedClock() {
  static PacerClock* clock = nullptr;
  return clock;
}

PacerClock& clock() {
  static WindowTimer windowTimer;
  PacerClock* installed = installedClock();
  return installed ? *installed : windowTimer;
}

}  // namespace

void setPacerClock(PacerClock* clock) { installedClock() = clock; }

void RepaintPacer::captionChanged(HWND window) {
  if (ticking_) {
    waiting_ = true;
    return;
  }
  InvalidateRect(window, nullptr, TRUE);
  if (clock().start(window, kTimerId, kIntervalMs)) ticking_ = true;
}

bool RepaintPacer::timer(HWND window, WPARAM id) {
  if (id != kTimerId) return false;
  if (waiting_) {
    InvalidateRect(window, nullptr, TRUE);
    waiting_ = false;
  } else {
    clock().stop(window, kTimerId);
    ticking_ = false;
  }
  return true;
}

}  // namespace rillmark::ui::win32
