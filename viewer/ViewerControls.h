#pragma once

// The viewer's keys and frame stepping, as plain functions on the view state.

#include <cstdint>

#include "playback/ViewState.h"

namespace zorvel {

// The next frame index in `direction`, looping at both ends of `frameCount` frames.
std::int32_t stepFrame(std::int32_t frame, std::int32_t direction, std::int32_t frameCount);

// The viewer's keys: those both views share (ESC, space, D, F, G, T), and A toggling
// antialiasing; , < and . > set the direction while playing and step a frame (wrapping)
// while paused.
KeyEffect pressViewerKey(ViewState& view, unsigned char key, std::int32_t& currentFrame, std::int32_t frameCount);

}  // namespace zorvel
