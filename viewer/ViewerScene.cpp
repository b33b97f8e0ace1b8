#include "ViewerScene.h"

#include <cstdint>
#include <new>

namespace zorvel {

ParticleAnimation ParticleAnimation::allocate(std::int32_t frameCount, std::uint32_t pixelCount) {
  ParticleAnimation animation;
  if (frameCount <= 0 || bytesFor(frameCount, pixelCount) > SIZE_MAX / 2) return animation;
  // Left unfilled: the positions are written once, as the path file is read.
  animation.block_.reset(new (std::nothrow) float[static_cast<std::size_t>(frameCount) * pixelCount * 3]);
  if (!animation.block_ && pixelCount > 0) return animation;
  animation.frameCount_ = frameCount;
  animation.pixelCount_ = pixelCount;
  return animation;
}

void ViewerScene::allocatePixels(std::uint32_t count) {
  pixelCount = count;
  pixelRed.assign(count, 255);
  pixelGreen.assign(count, 255);
  pixelBlue.assign(count, 255);
  pixelAlpha.assign(count, 255);
  pixelScale.assign(count, 1.0f);
}

}  // namespace zorvel
