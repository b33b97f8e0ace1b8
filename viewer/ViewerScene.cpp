#include "viewer/ViewerScene.h"

#include <sys/mman.h>

#include <cstdint>

namespace zorvel {

void MappedBlockRelease::operator()(float* block) const { munmap(block, bytes); }

ParticleAnimation ParticleAnimation::allocate(std::int32_t frameCount, std::uint32_t pixelCount) {
  ParticleAnimation animation;
  const std::uint64_t bytes = bytesFor(frameCount, pixelCount);
  if (frameCount <= 0 || bytes > SIZE_MAX / 2) return animation;
  if (bytes > 0) {
    // Mapped, not allocated: the block is left unfilled (the positions are written once,
    // as the path file is read), and in large pages where the system has them, which
    // takes the cost of first touching hundreds of megabytes down by far.
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) return animation;
    madvise(block, bytes, MADV_HUGEPAGE);
    animation.block_ =
        std::unique_ptr<float[], MappedBlockRelease>(static_cast<float*>(block), MappedBlockRelease{bytes});
  }
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
