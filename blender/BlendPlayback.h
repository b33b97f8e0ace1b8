#pragma once

#include <cstdint>

#include "blender/KeyframeFrames.h"

namespace zorvel {

// Where the blend stands: the frame shown, the keyframe whose segment holds it (its
// image gives the pixel positions) and how many frames of that segment lie behind.
struct BlendPlayback {
  std::int32_t currentFrame = 0;
  std::int32_t currentKeyframe = 0;
  std::int32_t segmentStep = 0;
};

// Frame 0 of the first segment that has frames.
BlendPlayback startOfBlend(const KeyframeSet& set);

// One frame forward: on into the next segment with frames when this one is done, and
// back to frame 0 after the last frame of the last segment. Segments without frames are
// passed over; the set must hold at least one frame.
void stepBlend(BlendPlayback& playback, const KeyframeSet& set);

}  // namespace zorvel
