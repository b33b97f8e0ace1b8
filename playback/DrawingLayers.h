#pragma once

// Groups things drawn one after another into layers that can each be drawn in one go
// without changing the picture. Each thing covers no pixel outside a rectangle on the
// screen. Its layer is one more than the highest layer of any thing before it whose
// rectangle may share a pixel with its own, so that:
// - two things in one layer share no pixel, and the order between them decides nothing;
// - where two things may share a pixel, the earlier one lies in a lower layer.
// Drawing the layers in turn, and each layer's things in any order, therefore gives the
// picture drawing the things one by one gives. Rectangles are compared through a grid of
// square cells, so some things that share no pixel are still kept apart.

#include <cstdint>
#include <vector>

namespace zorvel {

// A rectangle in window pixels; a thing inside it covers no pixel outside it.
struct PixelRect {
  double left, bottom, right, top;
};

class DrawingLayers {
 public:
  // Starts a picture `width` x `height` pixels large, compared through cells of
  // `cellSize` pixels (at least 1).
  void begin(int width, int height, int cellSize);

  // The layer (from 0) of the next thing, which covers no pixel outside `area`. Parts
  // of `area` off the screen count as its edge.
  std::uint32_t place(const PixelRect& area);

  // One more than the highest layer placed since begin(); 0 when none was.
  std::uint32_t count() const { return count_; }

 private:
  int cellSize_ = 1;
  int columns_ = 0;
  int rows_ = 0;
  std::uint32_t count_ = 0;
  std::vector<std::uint32_t> cells_;  // per cell: one more than the highest layer in it
};

}  // namespace zorvel
