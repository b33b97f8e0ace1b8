#include "recorder/drawing/SettledLayer.h"

#include <algorithm>
#include <cstring>

#include "recorder/drawing/OffscreenContext.h"

namespace zorvel {

namespace {

// The grid and the axes drawn in the colours of their names (alpha included).
constexpr GridColours kGridNames{{1, 0, 0, 0}, {2, 0, 0, 0}, {3, 0, 0, 0}, {4, 0, 0, 0}};

// A name as the colour it is drawn in, all four bytes of it, and back: 32 bits name two
// surfaces a box for more boxes than the recorder takes particles.
ColorRGBA colourNaming(std::uint32_t name) {
  return {static_cast<std::uint8_t>(name), static_cast<std::uint8_t>(name >> 8), static_cast<std::uint8_t>(name >> 16),
          static_cast<std::uint8_t>(name >> 24)};
}
std::uint32_t nameOf(const std::uint8_t* rgba) {
  return std::uint32_t{rgba[0]} | std::uint32_t{rgba[1]} << 8 | std::uint32_t{rgba[2]} << 16 |
         std::uint32_t{rgba[3]} << 24;
}

// What shows at a pixel as one number: the depth read back (the buffer's 24 bits scaled
// to 32) above the surface's name.
std::uint64_t surfaceKey(const LayerKeyFormat& format, std::uint32_t depth, const std::uint8_t* rgba) {
  return std::uint64_t{depth >> 8} << format.nameBits | nameOf(rgba);
}
std::uint32_t nameIn(const LayerKeyFormat& format, std::uint64_t key) {
  return static_cast<std::uint32_t>(key & ((std::uint64_t{1} << format.nameBits) - 1));
}

// The layer's key of a pixel, the format's bytes at `at` in a little-endian machine's
// order, and back. Eight bytes are read and written (the layer has bytes to spare after
// its last key), so that the copies take no call.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the layer's keys are stored as little-endian bytes");
std::uint64_t keyBits(const LayerKeyFormat& format) { return (std::uint64_t{1} << (8 * format.bytes)) - 1; }
std::uint64_t loadKey(const LayerKeyFormat& format, const std::uint8_t* at) {
  std::uint64_t key;
  std::memcpy(&key, at, sizeof key);
  return key & keyBits(format);
}
void storeKey(const LayerKeyFormat& format, std::uint8_t* at, std::uint64_t key) {
  std::uint64_t word;
  std::memcpy(&word, at, sizeof word);
  word = (word & ~keyBits(format)) | key;
  std::memcpy(at, &word, sizeof word);
}

// Rows read back at a time: a few, so that the bands take little memory beside the
// layer's keys.
constexpr int kBandRows = 16;

}  // namespace

LayeredDrawing::LayeredDrawing(const ViewerScene& scene, const ObjectShape& shape, const Settling* settling)
    : drawing_(scene, shape),
      settling_(namesEveryBox(scene.pixelCount) ? settling : nullptr),
      keys_(namesEveryBox(scene.pixelCount, 24) ? LayerKeyFormat{24, 6} : LayerKeyFormat{32, 7}) {
  if (!settling_) return;
  pixelColours_.reserve(scene.pixelCount);
  for (std::uint32_t i = 0; i < scene.pixelCount; ++i) pixelColours_.push_back(drawing_.pixelColour(i));
}

template <class Take>
void LayeredDrawing::drawNames(FrameCanvas& canvas, const ParticleFrame& frame,
                               const std::vector<std::uint32_t>& pixels, const ViewState& view, bool withGrid,
                               Take take) {
  OffscreenContext& context = canvas.context;
  Renderer& renderer = canvas.renderer;
  ViewState grid = view;
  grid.showGrid = view.showGrid && withGrid;
  renderer.beginPicture(canvas.camera, grid, GridBlending::None, kGridNames);  // names never blend
  if (!pixels.empty())
    drawing_.draw(renderer, frame, pixels, view, [](std::uint32_t i) {
      return DrawnColours{colourNaming(kFirstBox + 2 * i), colourNaming(kFirstBox + 2 * i + 1)};
    });
  renderer.waitUntilDrawn();
  const int width = context.width(), height = context.height();
  bandDepths_.resize(static_cast<std::size_t>(width) * kBandRows);
  bandColours_.resize(bandDepths_.size() * 4);
  for (int first = 0; first < height; first += kBandRows) {
    const int rows = std::min(kBandRows, height - first);
    canvas.reading.start();
    context.readDepthsAndColours(first, rows, bandDepths_.data(), bandColours_.data());
    canvas.reading.stop();
    for (int row = 0; row < rows; ++row) {
      const std::size_t at = static_cast<std::size_t>(row) * static_cast<std::size_t>(width);
      take(static_cast<std::size_t>(first) + static_cast<std::size_t>(row), bandDepths_.data() + at,
           bandColours_.data() + 4 * at);
    }
  }
}

void LayeredDrawing::draw(FrameCanvas& canvas, const ParticleFrame& frame, std::int32_t f, const ViewState& view,
                          std::vector<std::uint8_t>& rgb) {
  if (!settling_ || view.additiveBlend || !canvas.cameraStill) {
    // Each frame follows one drawn as it is, as in a window that has been playing.
    canvas.renderer.beginPicture(canvas.camera, view, gridBlendingAfter(view), canvas.colours);
    drawing_.draw(canvas.renderer, frame, view);
    readBack(canvas, rgb);
    return;
  }
  if (layerBegun_ && layerCamera_ != cameraValuesOf(view)) {  // drawn afresh, as the camera sees it now
    layerBegun_ = false;
    drawnIntoLayer_ = 0;
  }
  layerCamera_ = cameraValuesOf(view);
  addSettled(canvas, frame, f, view);
  drawOverLayer(canvas, frame, f, view, rgb);
}

void LayeredDrawing::addSettled(FrameCanvas& canvas, const ParticleFrame& frame, std::int32_t f,
                                const ViewState& view) {
  const std::size_t width = static_cast<std::size_t>(canvas.context.width());
  const std::size_t height = static_cast<std::size_t>(canvas.context.height());
  const std::vector<std::uint32_t>& inOrder = settling_->inOrder;
  newlySettled_.clear();
  for (; drawnIntoLayer_ < inOrder.size() && settling_->from[inOrder[drawnIntoLayer_]] <= f; ++drawnIntoLayer_)
    newlySettled_.push_back(inOrder[drawnIntoLayer_]);
  if (!layerBegun_ || !newlySettled_.empty()) {
    std::sort(newlySettled_.begin(), newlySettled_.end());
    const bool first = !layerBegun_;
    if (first) layer_.assign(width * height * keys_.bytes + sizeof(std::uint64_t) - keys_.bytes, 0);
    drawNames(canvas, frame, newlySettled_, view, first,
              [&](std::size_t row, const std::uint32_t* depths, const std::uint8_t* colours) {
                std::uint8_t* keys = layer_.data() + row * width * keys_.bytes;
                for (std::size_t x = 0; x < width; ++x) {
                  const std::uint64_t key = surfaceKey(keys_, depths[x], colours + 4 * x);
                  std::uint8_t* at = keys + keys_.bytes * x;
                  if (first || key < loadKey(keys_, at)) storeKey(keys_, at, key);
                }
              });
    layerBegun_ = true;
  }
}

void LayeredDrawing::drawOverLayer(FrameCanvas& canvas, const ParticleFrame& frame, std::int32_t f,
                                   const ViewState& view, std::vector<std::uint8_t>& rgb) {
  const std::size_t width = static_cast<std::size_t>(canvas.context.width());
  const std::size_t height = static_cast<std::size_t>(canvas.context.height());
  moving_.clear();
  for (std::uint32_t k = 0; k < frame.count; ++k)
    if (settling_->from[k] > f) moving_.push_back(k);
  rgb.resize(width * height * 3);
  const bool outlined = drawsFaces(view.drawMode);
  const GridColours& colours = canvas.colours;
  const ColorRGBA named[kFirstBox] = {colours.background, colours.grid, colours.x, colours.y, colours.z};
  const auto rowOut = [&](std::size_t row) { return rgb.data() + row * width * 3; };
  const auto put = [&](std::uint8_t* to, std::uint32_t name) {
    const ColorRGBA c = colourOf(name, outlined, named);
    to[0] = c.red;
    to[1] = c.green;
    to[2] = c.blue;
  };
  if (moving_.empty()) {
    for (std::size_t row = 0; row < height; ++row) {
      std::uint8_t* to = rowOut(row);
      const std::uint8_t* keys = layer_.data() + row * width * keys_.bytes;
      for (std::size_t x = 0; x < width; ++x) put(to + 3 * x, nameIn(keys_, loadKey(keys_, keys + keys_.bytes * x)));
    }
    return;
  }
  drawNames(canvas, frame, moving_, view, false,
            [&](std::size_t row, const std::uint32_t* depths, const std::uint8_t* colours) {
              std::uint8_t* to = rowOut(row);
              const std::uint8_t* keys = layer_.data() + row * width * keys_.bytes;
              for (std::size_t x = 0; x < width; ++x) {
                const std::uint64_t key =
                    std::min(surfaceKey(keys_, depths[x], colours + 4 * x), loadKey(keys_, keys + keys_.bytes * x));
                put(to + 3 * x, nameIn(keys_, key));
              }
            });
}

}  // namespace zorvel
