// An animation exported as one OBJ file per frame, named by a pattern:
// a run of '#' stands for the frame number padded with zeros to the run's
// length ("shot_####.obj"), or a printf-style "%d" / "%04d" does.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace bake {

class FramePattern {
 public:
  // Throws UsageError when the pattern has no frame number, or more than one.
  explicit FramePattern(const std::string& pattern);

  std::string fileFor(int frame) const;

  // The lowest and highest frame numbers of files in the pattern's folder
  // that match it, or nothing when none does.
  std::optional<std::pair<int, int>> framesOnDisk() const;

 private:
  std::string before_;
  std::string after_;
  int width_ = 0;  // digits at least; 0 for none
};

}  // namespace bake
