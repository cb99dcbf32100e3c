#include "preview.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "bake_error.h"
#include "height_field_image.h"
#include "image_files.h"

namespace bake {

namespace {

// The picture is about this many pixels across, as the demo's.
constexpr int kPictureSide = 480;
constexpr int kMaxCells = 256;
constexpr int kFrameDelayCentiseconds = 6;

class PreviewWriter : public FrameWriter {
 public:
  explicit PreviewWriter(const std::string& path) : out_(path) {}

  void frame(int, std::span<const HostVec3> vertices) override {
    if (vertices.empty()) return;
    if (cellOf_.empty()) layOut(vertices);
    std::vector<float> sum(static_cast<std::size_t>(nx_) * ny_, 0.0f);
    for (std::size_t i = 0; i < vertices.size(); ++i) sum[cellOf_[i]] += vertices[i].z;
    std::vector<float> heights(sum.size());
    for (std::size_t c = 0; c < sum.size(); ++c) heights[c] = sum[source_[c]] / static_cast<float>(count_[source_[c]]);
    const demo::IndexedImage image =
        demo::renderHeightField(heights, nx_, ny_, cell_, std::max(1, kPictureSide / std::max(nx_, ny_)));
    std::string error;
    if (!started_) {
      // The GIF library writes a file by name: it writes the temporary one.
      out_.finish();
      if (!gif_.open(out_.temporary(), image.width, image.height, demo::waterPalette(), kFrameDelayCentiseconds, error))
        throw BakeFailure("cannot write " + out_.target());
      started_ = true;
    }
    if (!gif_.add(image, error)) throw BakeFailure("cannot write " + out_.target());
  }

  void finish() override {
    std::string error;
    if (!started_ || !gif_.close(error)) throw BakeFailure("cannot write " + out_.target());
  }

  void addFiles(std::vector<SafeOutput*>& files) override { files.push_back(&out_); }

 private:
  // A grid over the rest shape's x-y box, about one cell per vertex.
  void layOut(std::span<const HostVec3> rest) {
    float x0 = rest[0].x, x1 = x0, y0 = rest[0].y, y1 = y0;
    for (const HostVec3& v : rest) {
      x0 = std::min(x0, v.x);
      x1 = std::max(x1, v.x);
      y0 = std::min(y0, v.y);
      y1 = std::max(y1, v.y);
    }
    const double w = std::max(1e-6, static_cast<double>(x1) - x0), d = std::max(1e-6, static_cast<double>(y1) - y0);
    const double side = std::sqrt(static_cast<double>(rest.size()) * std::max(w, d) / std::min(w, d));
    const int longSide = std::clamp(static_cast<int>(std::lround(side)), 2, kMaxCells);
    nx_ = w >= d ? longSide : std::clamp(static_cast<int>(std::lround(longSide * w / d)), 2, kMaxCells);
    ny_ = d > w ? longSide : std::clamp(static_cast<int>(std::lround(longSide * d / w)), 2, kMaxCells);
    cell_ = static_cast<float>(w / (nx_ - 1));
    const std::size_t cells = static_cast<std::size_t>(nx_) * ny_;
    count_.assign(cells, 0);
    cellOf_.resize(rest.size());
    for (std::size_t i = 0; i < rest.size(); ++i) {
      const auto ix = std::clamp(static_cast<int>(std::lround((rest[i].x - x0) / w * (nx_ - 1))), 0, nx_ - 1);
      const auto iy = std::clamp(static_cast<int>(std::lround((rest[i].y - y0) / d * (ny_ - 1))), 0, ny_ - 1);
      // The picture's top row is the far side (+y).
      cellOf_[i] = static_cast<std::size_t>(ny_ - 1 - iy) * nx_ + ix;
      ++count_[cellOf_[i]];
    }
    // Every empty cell shows its nearest filled one, found breadth first.
    source_.assign(cells, cells);
    std::deque<std::size_t> queue;
    for (std::size_t c = 0; c < cells; ++c) {
      if (count_[c] > 0) {
        source_[c] = c;
        queue.push_back(c);
      }
    }
    while (!queue.empty()) {
      const std::size_t c = queue.front();
      queue.pop_front();
      const int cx = static_cast<int>(c % nx_), cy = static_cast<int>(c / nx_);
      const int around[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
      for (const auto& step : around) {
        const int x = cx + step[0], y = cy + step[1];
        if (x < 0 || y < 0 || x >= nx_ || y >= ny_) continue;
        const std::size_t n = static_cast<std::size_t>(y) * nx_ + x;
        if (source_[n] != cells) continue;
        source_[n] = source_[c];
        queue.push_back(n);
      }
    }
  }

  SafeOutput out_;
  int nx_ = 0, ny_ = 0;
  float cell_ = 1;
  std::vector<std::size_t> cellOf_;  // vertex -> cell
  std::vector<int> count_;           // vertices per cell
  std::vector<std::size_t> source_;  // cell -> the filled cell it shows
  demo::AnimatedGif gif_;
  bool started_ = false;
};

}  // namespace

bool previewAvailable() { return true; }

std::unique_ptr<FrameWriter> makePreviewWriter(const std::string& path) {
  return std::make_unique<PreviewWriter>(path);
}

}  // namespace bake
