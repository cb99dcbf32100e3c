#include "ui/win32/repaint_pacer.h"

namespace rillmark::ui::win32 {

void RepaintPacer::captionChanged(HWND window) {
  if (ticking_) {
    waiting_ = true;
    return;
  }
  InvalidateRect(window, nullptr, TRUE);
  if (SetTimer(window, kTimerId, kIntervalMs, nullptr) != 0) ticking_ = true;
}

bool RepaintPacer::timer(HWND window, WPARAM id) {
  if (id != kTimerId) return false;
  if (waiting_) {
    InvalidateRect(window, nullptr, TRUE);
    waiting_ = false;
  } else {
    KillTimer(window, kTimerId);
    ticking_ = false;
  }
  return true;
}

}  // namespace rillmark::ui::win32
