#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/Vector3.h"

namespace zorvel {

// One cached frame: the positions of its `count` particles, x, y and z after each
// other, in a block owned by the animation. Colour and size on screen come from the
// scene's per-pixel arrays, the same in every frame.
struct ParticleFrame {
  float* coordinates = nullptr;
  std::uint32_t count = 0;

  Vector3 position(std::size_t i) const { return {coordinates[3 * i], coordinates[3 * i + 1], coordinates[3 * i + 2]}; }
};

// Gives back a block of memory mapped for an animation.
struct MappedBlockRelease {
  std::size_t bytes;
  void operator()(float* block) const;
};

// Every frame of a path file: one contiguous block of frameCount x pixelCount positions,
// 12 bytes each, and nothing else.
class ParticleAnimation {
 public:
  ParticleAnimation() = default;
  // Room for `frameCount` frames of `pixelCount` positions, to be filled by the caller;
  // an animation without frames when the memory cannot be had.
  static ParticleAnimation allocate(std::int32_t frameCount, std::uint32_t pixelCount);
  // The bytes that allocate() takes for that many frames and pixels.
  static std::uint64_t bytesFor(std::int64_t frameCount, std::uint32_t pixelCount) {
    return static_cast<std::uint64_t>(frameCount) * pixelCount * 3 * sizeof(float);
  }

  std::int32_t frameCount() const { return frameCount_; }
  std::uint32_t pixelCount() const { return pixelCount_; }
  ParticleFrame frame(std::int32_t f) const {
    return {block_.get() + static_cast<std::size_t>(f) * pixelCount_ * 3, pixelCount_};
  }
  // Keeps only the first `count` frames.
  void keepFrames(std::int32_t count) { frameCount_ = count; }

 private:
  std::unique_ptr<float[], MappedBlockRelease> block_;
  std::int32_t frameCount_ = 0;
  std::uint32_t pixelCount_ = 0;
};

// What the viewer plays: per-pixel colour, opacity and size, and every frame's positions.
struct ViewerScene {
  std::uint32_t pixelCount = 0;
  std::int32_t frameCount = 0;
  std::int32_t currentFrame = 0;
  std::vector<std::int32_t> pixelRed, pixelGreen, pixelBlue, pixelAlpha;
  std::vector<float> pixelScale;
  ParticleAnimation animation;

  // Sizes the five per-pixel arrays to `count` entries, colours white, opacity 255, scale 1.
  void allocatePixels(std::uint32_t count);
};

}  // namespace zorvel
