#include "blender/BlendPlayback.h"

namespace zorvel {

namespace {

// Moves currentKeyframe onto a segment with frames, from the one it names on.
void skipEmptySegments(BlendPlayback& p, const KeyframeSet& set) {
  const std::int32_t count = static_cast<std::int32_t>(set.keyframes.size());
  for (std::int32_t tries = 0; tries <= count; ++tries) {
    if (p.currentKeyframe == count) {
      p.currentKeyframe = 0;
      p.currentFrame = 0;
    }
    if (set.keyframes[static_cast<std::size_t>(p.currentKeyframe)].inbetweenCount > 0) return;
    ++p.currentKeyframe;
  }
}

}  // namespace

BlendPlayback startOfBlend(const KeyframeSet& set) {
  BlendPlayback p;
  skipEmptySegments(p, set);
  return p;
}

void stepBlend(BlendPlayback& p, const KeyframeSet& set) {
  ++p.currentFrame;
  ++p.segmentStep;
  if (p.segmentStep == set.keyframes[static_cast<std::size_t>(p.currentKeyframe)].inbetweenCount) {
    ++p.currentKeyframe;
    p.segmentStep = 0;
    skipEmptySegments(p, set);
  }
}

}  // namespace zorvel
