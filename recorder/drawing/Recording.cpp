#include "recorder/drawing/Recording.h"

#include "recorder/drawing/OffscreenContext.h"

namespace zorvel {

void readBack(FrameCanvas& canvas, std::vector<std::uint8_t>& rgb) {
  canvas.renderer.waitUntilDrawn();
  canvas.reading.start();
  canvas.context.readPixels(rgb);
  canvas.reading.stop();
}

}  // namespace zorvel
