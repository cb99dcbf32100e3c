#include "sim/rest_shape_grid.h"

#include "sim/wave_kernel.h"

namespace rillmark {

namespace {

// About this many vertices share a cell: enough to fill the vector lanes
// of a row run, few enough that a run wastes little outside a disc.
constexpr double kVerticesPerCell = 32.0;

bool finite(const HostVec3& v) { return std::isfinite(v.x) && std::isfinite(v.y); }

std::int64_t cellNumber(double offset, double cellSize, std::size_t cells) {
  const double c = std::floor(offset / cellSize);
  if (!(c >= 0.0)) return c < 0.0 ? -1 : 0;
  if (c >= static_cast<double>(cells)) return static_cast<std::int64_t>(cells) - 1;
  return static_cast<std::int64_t>(c);
}

}  // namespace

std::int64_t RestShapeGrid::columnOf(double x) const { return cellNumber(x - left_, cellWidth_, columns_); }
std::int64_t RestShapeGrid::rowOf(double y) const { return cellNumber(y - bottom_, cellHeight_, rows_); }

void RestShapeGrid::build(std::span<const HostVec3> rest) {
  const std::size_t n = rest.size();
  double minX = 0, maxX = 0, minY = 0, maxY = 0;
  placed_ = 0;
  for (const HostVec3& v : rest) {
    if (!finite(v)) continue;
    if (placed_ == 0) {
      minX = maxX = v.x;
      minY = maxY = v.y;
    }
    minX = std::min<double>(minX, v.x);
    maxX = std::max<double>(maxX, v.x);
    minY = std::min<double>(minY, v.y);
    maxY = std::max<double>(maxY, v.y);
    ++placed_;
  }

  // Square-ish cells over the bounding box; a flat box gets one row or column.
  const double width = maxX - minX, height = maxY - minY;
  const double cells = std::max(1.0, static_cast<double>(placed_) / kVerticesPerCell);
  double columns = 1.0, rows = 1.0;
  if (width > 0.0 && height > 0.0) {
    columns = std::max(1.0, std::round(std::sqrt(cells * width / height)));
    rows = std::max(1.0, std::round(cells / columns));
  } else if (width > 0.0) {
    columns = std::round(cells);
  } else if (height > 0.0) {
    rows = std::round(cells);
  }
  columns_ = static_cast<std::size_t>(std::min(columns, 4096.0));
  rows_ = static_cast<std::size_t>(std::min(rows, 4096.0));
  left_ = minX;
  bottom_ = minY;
  cellWidth_ = width > 0.0 ? width / static_cast<double>(columns_) : 1.0;
  cellHeight_ = height > 0.0 ? height / static_cast<double>(rows_) : 1.0;

  // Counting sort by cell, rows of cells one after another; within a cell
  // the vertices keep their index order.
  const std::size_t cellCount = rows_ * columns_;
  cellStart_.assign(cellCount + 1, 0);
  std::vector<std::uint32_t> cellOf(n, 0);
  for (std::size_t i = 0; i < n; ++i) {
    if (!finite(rest[i])) continue;
    const auto cell = static_cast<std::size_t>(rowOf(rest[i].y)) * columns_ + static_cast<std::size_t>(columnOf(rest[i].x));
    cellOf[i] = static_cast<std::uint32_t>(cell);
    ++cellStart_[cell + 1];
  }
  for (std::size_t c = 0; c < cellCount; ++c) cellStart_[c + 1] += cellStart_[c];

  x_.assign(n + kVectorPadding, 0.0f);
  y_.assign(n + kVectorPadding, 0.0f);
  vertexAt_.assign(n, 0);
  slotOf_.assign(n, 0);
  std::vector<std::uint32_t> next(cellStart_.begin(), cellStart_.end() - 1);
  std::size_t unplaced = placed_;
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t slot = finite(rest[i]) ? next[cellOf[i]]++ : unplaced++;
    x_[slot] = rest[i].x;
    y_[slot] = rest[i].y;
    vertexAt_[slot] = static_cast<std::uint32_t>(i);
    slotOf_[i] = static_cast<std::uint32_t>(slot);
  }
}

std::vector<RestShapeGrid::Band> RestShapeGrid::bands(std::size_t count) const {
  std::vector<Band> out;
  const std::size_t n = size();
  count = std::max<std::size_t>(1, count);
  std::size_t row = 0;
  for (std::size_t b = 0; b < count && row < rows_; ++b) {
    // Whole rows until this band holds its share of the placed vertices.
    const std::size_t target = placed_ * (b + 1) / count;
    Band band{row, row, cellStart(row, 0), 0, false};
    while (row < rows_ && (cellStart(row, 0) < target || row == band.firstRow)) ++row;
    if (b + 1 == count) row = rows_;
    band.endRow = row;
    band.end = row < rows_ ? cellStart(row, 0) : placed_;
    out.push_back(band);
  }
  if (out.empty()) out.push_back({0, 0, 0, 0, false});
  out.back().end = n;
  out.back().unplaced = true;
  return out;
}

}  // namespace rillmark
