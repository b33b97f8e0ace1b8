#pragma once

#include <cstdint>
#include <vector>

#include "ColorRGBA.h"
#include "Vector3.h"

namespace zorvel {

// One pixel in one cached frame. Only the position is filled; colour and size on screen
// come from the scene's per-pixel arrays.
struct FrameParticle {
  ColorRGBA colour;
  Vector3 position;
  std::int32_t spare = 0;
  float scale = 1.0f;
};

// One frame: `count` particles in a block owned by the animation.
struct ParticleFrame {
  FrameParticle* particles = nullptr;
  std::uint32_t count = 0;
};

// Every frame of a path file: one contiguous block of frameCount x pixelCount particles.
class ParticleAnimation {
 public:
  ParticleAnimation() = default;
  ParticleAnimation(std::int32_t frameCount, std::uint32_t pixelCount)
      : block_(static_cast<std::size_t>(frameCount) * pixelCount), frames_(static_cast<std::size_t>(frameCount)) {
    for (std::size_t f = 0; f < frames_.size(); ++f) frames_[f] = {block_.data() + f * pixelCount, pixelCount};
  }
  ParticleAnimation(const ParticleAnimation&) = delete;
  ParticleAnimation& operator=(const ParticleAnimation&) = delete;
  ParticleAnimation(ParticleAnimation&&) = default;
  ParticleAnimation& operator=(ParticleAnimation&&) = default;

  std::int32_t frameCount() const { return static_cast<std::int32_t>(frames_.size()); }
  ParticleFrame& frame(std::int32_t f) { return frames_[static_cast<std::size_t>(f)]; }
  const ParticleFrame& frame(std::int32_t f) const { return frames_[static_cast<std::size_t>(f)]; }
  // Keeps only the first `count` frames.
  void keepFrames(std::int32_t count) { frames_.resize(static_cast<std::size_t>(count)); }

 private:
  std::vector<FrameParticle> block_;
  std::vector<ParticleFrame> frames_;
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
