// A uniform grid over the horizontal positions of the rest shape, so that
// a synthesis pass finds the vertices an event's wave has reached without
// looking at the others. Built once per rest copy (the rest shape does not
// change during a run) and kept in grid order: the vertices of a row of
// cells are contiguous, with their x and y in separate arrays for the
// vector kernel.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "hostapi/host_types.h"

namespace rillmark {

class RestShapeGrid {
 public:
  // A stretch of grid order made of whole rows of cells; the last band of
  // a cut also holds the vertices without a cell.
  struct Band {
    std::size_t firstRow = 0, endRow = 0;  // rows of cells [firstRow, endRow)
    std::size_t begin = 0, end = 0;        // grid order [begin, end)
    bool unplaced = true;                  // holds the vertices without a cell
  };


  // Replaces the grid by one over `rest`. Vertices whose x or y is not
  // finite have no cell; they come last in grid order and every query
  // returns them.
  void build(std::span<const HostVec3> rest);

  std::size_t size() const { return vertexAt_.size(); }
  // Grid-order positions, padded for the vector kernel (kVectorPadding).
  const float* x() const { return x_.data(); }
  const float* y() const { return y_.data(); }
  // Grid order to vertex index, and back.
  std::uint32_t vertexAt(std::size_t slot) const { return vertexAt_[slot]; }
  std::uint32_t slotOf(std::size_t vertex) const { return slotOf_[vertex]; }

  // Calls visit(begin, end) for runs of grid order that together hold
  // every vertex within `radius` of (cx, cy), and some others near it. A
  // radius that is infinite or not a number visits everything.
  template <class Visit>
  void forEachRunNear(double cx, double cy, double radius, Visit&& visit) const {
    forEachRunNear(cx, cy, radius, whole(), visit);
  }
  // The same, for the runs inside one band only.
  template <class Visit>
  void forEachRunNear(double cx, double cy, double radius, const Band& band, Visit&& visit) const;

  // All of grid order as one band.
  Band whole() const { return {0, rows_, 0, size(), true}; }
  // Grid order cut into at most `count` bands of about as many vertices.
  std::vector<Band> bands(std::size_t count) const;

 private:
  std::size_t cellStart(std::size_t row, std::size_t column) const { return cellStart_[row * columns_ + column]; }
  // The cell column or row of a coordinate; the query and the build must
  // round alike, so both use these.
  std::int64_t columnOf(double x) const;
  std::int64_t rowOf(double y) const;

  std::vector<float> x_, y_;
  std::vector<std::uint32_t> vertexAt_, slotOf_;
  std::vector<std::uint32_t> cellStart_;  // rows x columns + 1 entries
  std::size_t placed_ = 0;                // vertices with a cell
  std::size_t columns_ = 0, rows_ = 0;
  double left_ = 0.0, bottom_ = 0.0, cellWidth_ = 1.0, cellHeight_ = 1.0;
};

template <class Visit>
void RestShapeGrid::forEachRunNear(double cx, double cy, double radius, const Band& band, Visit&& visit) const {
  if (!(radius < 1e300) || !(cx == cx) || !(cy == cy)) {
    if (band.begin < band.end) visit(band.begin, band.end);
    return;
  }
  if (placed_ > 0 && radius >= 0.0 && band.firstRow < band.endRow) {
    const std::int64_t lastRow = static_cast<std::int64_t>(band.endRow) - 1;
    const std::int64_t lastColumn = static_cast<std::int64_t>(columns_) - 1;
    const std::int64_t firstRow = std::max<std::int64_t>(static_cast<std::int64_t>(band.firstRow), rowOf(cy - radius));
    const std::int64_t endRow = std::min(lastRow, rowOf(cy + radius));
    for (std::int64_t row = firstRow; row <= endRow; ++row) {
      // The nearest y of the row's band decides how wide the disc is there.
      const double bandLow = bottom_ + static_cast<double>(row) * cellHeight_;
      const double bandHigh = bandLow + cellHeight_;
      const double dy = cy < bandLow ? bandLow - cy : (cy > bandHigh ? cy - bandHigh : 0.0);
      if (dy > radius) continue;
      const double halfWidth = std::sqrt(radius * radius - dy * dy);
      const std::int64_t first = std::max<std::int64_t>(0, columnOf(cx - halfWidth));
      const std::int64_t last = std::min(lastColumn, columnOf(cx + halfWidth));
      if (first > last) continue;
      const auto r = static_cast<std::size_t>(row);
      const std::size_t begin = cellStart(r, static_cast<std::size_t>(first));
      const std::size_t end = cellStart(r, static_cast<std::size_t>(last) + 1);
      if (begin < end) visit(begin, end);
    }
  }
  if (band.unplaced && placed_ < size()) visit(placed_, size());
}

}  // namespace rillmark
