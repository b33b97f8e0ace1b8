#include "playback/DrawingLayers.h"

#include <algorithm>
#include <cmath>

namespace zorvel {

void DrawingLayers::begin(int width, int height, int cellSize) {
  cellSize_ = std::max(1, cellSize);
  columns_ = std::max(1, (width + cellSize_ - 1) / cellSize_);
  rows_ = std::max(1, (height + cellSize_ - 1) / cellSize_);
  count_ = 0;
  cells_.assign(static_cast<std::size_t>(columns_) * rows_, 0);
}

std::uint32_t DrawingLayers::place(const PixelRect& area) {
  // The cell holding a pixel coordinate, off-screen ones at the nearest edge.
  const auto cellOf = [this](double pixel, int cells) {
    const double cell = std::floor(pixel / cellSize_);
    if (cell <= 0) return 0;
    return cell >= cells - 1 ? cells - 1 : static_cast<int>(cell);
  };
  // A rectangle that is not one (NaN or turned inside out) may cover anything.
  const bool known = area.left <= area.right && area.bottom <= area.top;
  const int left = known ? cellOf(area.left, columns_) : 0;
  const int right = known ? cellOf(area.right, columns_) : columns_ - 1;
  const int bottom = known ? cellOf(area.bottom, rows_) : 0;
  const int top = known ? cellOf(area.top, rows_) : rows_ - 1;
  std::uint32_t above = 0;
  for (int row = bottom; row <= top; ++row)
    for (int column = left; column <= right; ++column)
      above = std::max(above, cells_[static_cast<std::size_t>(row) * columns_ + column]);
  for (int row = bottom; row <= top; ++row)
    std::fill_n(cells_.begin() + static_cast<std::ptrdiff_t>(row) * columns_ + left, right - left + 1, above + 1);
  count_ = std::max(count_, above + 1);
  return above;
}

}  // namespace zorvel
