#include "recorder/drawing/Recording.h"

#include <algorithm>

#include "recorder/drawing/OffscreenContext.h"

namespace zorvel {

namespace {

// The picture as RGBA bytes, top row first, a pixel's alpha 255 where anything was
// drawn (its depth is nearer than the cleared one) and 0 elsewhere, read a band of rows
// at a time.
void readCoverage(const OffscreenContext& context, std::vector<std::uint8_t>& rgba) {
  constexpr int kBandRows = 16;
  const std::size_t width = static_cast<std::size_t>(context.width());
  rgba.resize(width * static_cast<std::size_t>(context.height()) * 4);
  std::vector<std::uint32_t> depths(width * kBandRows);
  for (int first = 0; first < context.height(); first += kBandRows) {
    const int rows = std::min(kBandRows, context.height() - first);
    std::uint8_t* band = rgba.data() + static_cast<std::size_t>(first) * width * 4;
    context.readDepthsAndColours(first, rows, depths.data(), band);
    for (std::size_t p = 0; p < width * static_cast<std::size_t>(rows); ++p)
      band[4 * p + 3] = depths[p] >> 8 == 0xFFFFFFu ? 0 : 255;  // the far plane's depth: cleared
  }
}

}  // namespace

void readBack(FrameCanvas& canvas, std::vector<std::uint8_t>& rgb) {
  canvas.renderer.waitUntilDrawn();
  canvas.reading.start();
  if (canvas.transparent)
    readCoverage(canvas.context, rgb);
  else
    canvas.context.readPixels(rgb);
  canvas.reading.stop();
}

}  // namespace zorvel
