#pragma once

// Every frame of the blend, computed before the window opens: from each keyframe to the
// next (and from the last back to the first) the colours are blended in integer steps,
// and each blended colour's brightness gives the pixel's displacement (its box's depth).

#include <cstdint>
#include <memory>
#include <vector>

#include "blender/BlenderConfig.h"
#include "common/ColorRGBA.h"
#include "common/Result.h"

namespace zorvel {

struct KeyframeColours {
  // pixelCount colours in record order, shared by the keyframes of one picture
  std::shared_ptr<const std::vector<ColorRGBA>> colours;
  std::int32_t inbetweenCount = 0;  // frames leading from this keyframe to the next
};

struct KeyframeSet {
  std::uint32_t pixelCount = 0;
  std::vector<KeyframeColours> keyframes;
};

// frameCount frames of pixelCount pixels; plane values of frame f, pixel j at
// f x pixelCount + j.
struct FrameStore {
  std::uint32_t pixelCount = 0;
  std::int32_t frameCount = 0;
  std::vector<std::uint32_t> frameRed, frameGreen, frameBlue, frameAlpha;
  std::vector<float> frameDisplacement;

  std::size_t at(std::int32_t frame, std::uint32_t pixel) const {
    return static_cast<std::size_t>(frame) * pixelCount + pixel;
  }
};

// One channel of frame g (0-based) of n frames from a towards b, in signed 32-bit
// arithmetic with division truncating toward zero: frame n - 1 is b exactly.
std::int32_t blendChannel(std::int32_t a, std::int32_t b, std::int32_t g, std::int32_t n);

// minDisplacement + (maxDisplacement - minDisplacement) / (255 / brightness), brightness
// the mean of R, G and B; black gives the minimum, white the maximum.
float computeDisplacement(const ColorRGBA& colour, float minDisplacement, float maxDisplacement);

struct BlendFrames {
  KeyframeSet keyframes;
  FrameStore store;
};

// The frames the first `keyframes` in-between counts add up to: the animation's length.
std::int64_t frameTotal(const std::vector<std::uint16_t>& inbetweenCounts, std::size_t keyframes);

// The bytes buildFrames() takes for `frames` frames of `pixels` pixels blended from
// `pictures` distinct pictures: the frame store (20 bytes a pixel a frame) and the
// keyframes' colours (4 bytes a pixel a picture).
std::uint64_t blendBytes(std::uint64_t frames, std::uint64_t pixels, std::uint64_t pictures);
// The same for a complete configuration.
std::uint64_t blendBytes(const BlenderConfig& config);

// Builds the keyframe set and every frame from a complete configuration. Pixels that a
// keyframe image lacks are black. Fails (TooLarge, "Not enough memory for F frames of P
// pixels (M MB).") when blendBytes() is more than `memoryBytes` or memory runs out.
Result<BlendFrames> buildFrames(const BlenderConfig& config, std::uint64_t memoryBytes);

}  // namespace zorvel
