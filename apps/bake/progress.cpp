#include "progress.h"

#include <string>

#ifdef _WIN32
#include <io.h>
#define RILLMARK_ISATTY _isatty
#define RILLMARK_FILENO _fileno
#else
#include <unistd.h>
#define RILLMARK_ISATTY isatty
#define RILLMARK_FILENO fileno
#endif

namespace bake {

namespace {

constexpr int kBarWidth = 30;

std::string clock(double seconds) {
  const long long s = static_cast<long long>(seconds + 0.5);
  char text[32];
  if (s >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", s / 60, s % 60);
  }
  return text;
}

}  // namespace

Progress::Progress(int totalFrames, std::FILE* out, bool everyFrame)
    : total_(totalFrames), out_(out), terminal_(!everyFrame && RILLMARK_ISATTY(RILLMARK_FILENO(out)) != 0),
      everyFrame_(everyFrame), start_(std::chrono::steady_clock::now()), lastDraw_(start_) {}

double Progress::seconds() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void Progress::frameDone() {
  ++done_;
  if (terminal_ || everyFrame_) {
    // A few redraws a second are plenty, and cost nothing beside a frame.
    const auto now = std::chrono::steady_clock::now();
    if (done_ == total_ || now - lastDraw_ >= std::chrono::milliseconds(100)) {
      lastDraw_ = now;
      draw();
    }
    return;
  }
  const int decile = total_ > 0 ? done_ * 10 / total_ : 10;
  if (decile > lastDecile_) {
    lastDecile_ = decile;
    draw();
  }
}

void Progress::draw() {
  const double elapsed = seconds();
  const double left = done_ > 0 ? elapsed / done_ * (total_ - done_) : 0.0;
  const std::string timing = "frames " + std::to_string(done_) + "/" + std::to_string(total_) + ", " +
                             clock(elapsed) + " so far, " + clock(left) + " left";
  if (!terminal_) {
    std::fprintf(out_, "rillmark-bake: %s\n", timing.c_str());
    // The reader is another program waiting for the line.
    if (everyFrame_) std::fflush(out_);
    return;
  }
  const int filled = total_ > 0 ? done_ * kBarWidth / total_ : kBarWidth;
  std::fprintf(out_, "\r[%s%s] %s ", std::string(static_cast<std::size_t>(filled), '#').c_str(),
               std::string(static_cast<std::size_t>(kBarWidth - filled), '.').c_str(), timing.c_str());
  std::fflush(out_);
}

void Progress::finish() {
  if (terminal_ && done_ > 0) std::fputc('\n', out_);
}

}  // namespace bake
