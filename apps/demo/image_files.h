// Writes rendered frames as PNG files (libpng) and as one looping animated
// GIF (giflib). Each function returns false and leaves a message in error
// when the file cannot be written.
#pragma once

#include <string>
#include <vector>

#include "height_field_image.h"

namespace demo {

bool writePng(const std::string& path, const IndexedImage& image, const Palette& palette, std::string& error);

// A looping animated GIF written frame by frame, so that no more than one
// frame is held at a time. Every frame has the first one's size.
class AnimatedGif {
 public:
  AnimatedGif() = default;
  ~AnimatedGif();  // closes a file still open; it is then incomplete
  AnimatedGif(const AnimatedGif&) = delete;
  AnimatedGif& operator=(const AnimatedGif&) = delete;

  // delayCentiseconds: time each frame stays on screen.
  bool open(const std::string& path, int width, int height, const Palette& palette, int delayCentiseconds,
            std::string& error);
  bool add(const IndexedImage& frame, std::string& error);
  bool close(std::string& error);

 private:
  bool fail(std::string& error);

  void* gif_ = nullptr;  // the library's GifFileType
  std::string path_;
  int width_ = 0, height_ = 0, delay_ = 0;
};

// All frames at once.
bool writeAnimatedGif(const std::string& path, const std::vector<IndexedImage>& frames, const Palette& palette,
                      int delayCentiseconds, std::string& error);

}  // namespace demo
