// Progress on standard error: a bar with frames done and time left,
// redrawn in place, when standard error is a terminal; otherwise a plain
// line every tenth of the run, which reads well in a log. A program that
// shows the progress itself asks for plain lines as the frames go by.
#pragma once

#include <chrono>
#include <cstdio>

namespace bake {

class Progress {
 public:
  // everyFrame: plain lines whatever the output is, one per frame done,
  // at most ten a second, and always the last.
  Progress(int totalFrames, std::FILE* out, bool everyFrame = false);
  void frameDone();
  // Ends the bar's line.
  void finish();
  double seconds() const;

 private:
  void draw();

  int total_;
  int done_ = 0;
  std::FILE* out_;
  bool terminal_;
  bool everyFrame_;
  int lastDecile_ = 0;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDraw_;
};

}  // namespace bake
