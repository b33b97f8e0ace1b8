#include "ViewerScene.h"

namespace zorvel {

void ViewerScene::allocatePixels(std::uint32_t count) {
  pixelCount = count;
  pixelRed.assign(count, 255);
  pixelGreen.assign(count, 255);
  pixelBlue.assign(count, 255);
  pixelAlpha.assign(count, 255);
  pixelScale.assign(count, 1.0f);
}

}  // namespace zorvel
