#include "image_files.h"

#include <gif_lib.h>
#include <png.h>

#include <cstring>

namespace demo {

bool writePng(const std::string& path, const IndexedImage& image, const Palette& palette, std::string& error) {
  std::vector<png_byte> rgb(image.pixels.size() * 3);
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    const Rgb c = palette[image.pixels[i]];
    rgb[3 * i] = c.r;
    rgb[3 * i + 1] = c.g;
    rgb[3 * i + 2] = c.b;
  }
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = PNG_FORMAT_RGB;
  if (!png_image_write_to_file(&png, path.c_str(), 0, rgb.data(), 0, nullptr)) {
    error = "cannot write " + path + ": " + png.message;
    return false;
  }
  return true;
}

AnimatedGif::~AnimatedGif() {
  int code = 0;
  if (gif_) EGifCloseFile(static_cast<GifFileType*>(gif_), &code);
}

bool AnimatedGif::fail(std::string& error) {
  int code = 0;
  if (gif_) EGifCloseFile(static_cast<GifFileType*>(gif_), &code);
  gif_ = nullptr;
  error = "cannot write " + path_;
  return false;
}

bool AnimatedGif::open(const std::string& path, int width, int height, const Palette& palette, int delayCentiseconds,
                       std::string& error) {
  path_ = path;
  width_ = width;
  height_ = height;
  delay_ = delayCentiseconds;
  int code = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &code);
  if (!gif) return fail(error);
  gif_ = gif;
  EGifSetGifVersion(gif, true);

  GifColorType colors[256];
  for (int i = 0; i < 256; ++i) colors[i] = {palette[i].r, palette[i].g, palette[i].b};
  ColorMapObject* map = GifMakeMapObject(256, colors);
  const bool described = EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
  GifFreeMapObject(map);
  if (!described) return fail(error);

  // The application extension that makes viewers loop forever.
  unsigned char loop[3] = {1, 0, 0};
  if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
      EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") != GIF_OK || EGifPutExtensionBlock(gif, 3, loop) != GIF_OK ||
      EGifPutExtensionTrailer(gif) != GIF_OK)
    return fail(error);
  return true;
}

bool AnimatedGif::add(const IndexedImage& frame, std::string& error) {
  auto* gif = static_cast<GifFileType*>(gif_);
  if (!gif || frame.width != width_ || frame.height != height_) return fail(error);
  GraphicsControlBlock control{DISPOSE_DO_NOT, false, delay_, NO_TRANSPARENT_COLOR};
  GifByteType extension[4];
  EGifGCBToExtension(&control, extension);
  if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) != GIF_OK ||
      EGifPutImageDesc(gif, 0, 0, width_, height_, false, nullptr) != GIF_OK)
    return fail(error);
  std::vector<GifPixelType> row(static_cast<std::size_t>(width_));
  for (int y = 0; y < height_; ++y) {
    std::memcpy(row.data(), &frame.pixels[static_cast<std::size_t>(y) * width_], row.size());
    if (EGifPutLine(gif, row.data(), width_) != GIF_OK) return fail(error);
  }
  return true;
}

bool AnimatedGif::close(std::string& error) {
  int code = 0;
  auto* gif = static_cast<GifFileType*>(gif_);
  gif_ = nullptr;
  if (!gif || EGifCloseFile(gif, &code) != GIF_OK) {
    error = "cannot finish " + path_;
    return false;
  }
  return true;
}

bool writeAnimatedGif(const std::string& path, const std::vector<IndexedImage>& frames, const Palette& palette,
                      int delayCentiseconds, std::string& error) {
  if (frames.empty()) {
    error = "no frames for " + path;
    return false;
  }
  AnimatedGif gif;
  if (!gif.open(path, frames.front().width, frames.front().height, palette, delayCentiseconds, error)) return false;
  for (const IndexedImage& frame : frames)
    if (!gif.add(frame, error)) return false;
  return gif.close(error);
}

}  // namespace demo
