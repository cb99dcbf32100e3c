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

namespace {

bool fail(GifFileType* gif, const std::string& path, std::string& error) {
  int code = 0;
  if (gif) EGifCloseFile(gif, &code);
  error = "cannot write " + path;
  return false;
}

}  // namespace

bool writeAnimatedGif(const std::string& path, const std::vector<IndexedImage>& frames, const Palette& palette,
                      int delayCentiseconds, std::string& error) {
  if (frames.empty()) {
    error = "no frames for " + path;
    return false;
  }
  int code = 0;
  GifFileType* gif = EGifOpenFileName(path.c_str(), false, &code);
  if (!gif) return fail(nullptr, path, error);
  EGifSetGifVersion(gif, true);

  GifColorType colors[256];
  for (int i = 0; i < 256; ++i) colors[i] = {palette[i].r, palette[i].g, palette[i].b};
  ColorMapObject* map = GifMakeMapObject(256, colors);
  const int width = frames.front().width, height = frames.front().height;
  const bool described = EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
  GifFreeMapObject(map);
  if (!described) return fail(gif, path, error);

  // The application extension that makes viewers loop forever.
  unsigned char loop[3] = {1, 0, 0};
  if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
      EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") != GIF_OK || EGifPutExtensionBlock(gif, 3, loop) != GIF_OK ||
      EGifPutExtensionTrailer(gif) != GIF_OK)
    return fail(gif, path, error);

  for (const IndexedImage& frame : frames) {
    if (frame.width != width || frame.height != height) return fail(gif, path, error);
    GraphicsControlBlock control{DISPOSE_DO_NOT, false, delayCentiseconds, NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) != GIF_OK ||
        EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) != GIF_OK)
      return fail(gif, path, error);
    std::vector<GifPixelType> row(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
      std::memcpy(row.data(), &frame.pixels[static_cast<std::size_t>(y) * width], row.size());
      if (EGifPutLine(gif, row.data(), width) != GIF_OK) return fail(gif, path, error);
    }
  }
  if (EGifCloseFile(gif, &code) != GIF_OK) {
    error = "cannot finish " + path;
    return false;
  }
  return true;
}

}  // namespace demo
