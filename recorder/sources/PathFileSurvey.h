#pragma once

// The recorder's first pass over a path file: how many frames are complete, the picture
// at home, where the positions lie, and from which frame each particle settles.

#include <cstdint>
#include <vector>

#include "viewer/PathFileReader.h"

namespace zorvel {

// What the recorder's first pass over a path file finds: how many frames are complete,
// the last of them (the picture at home), the smallest box around every position of
// those frames, and the frame each particle settles from.
struct PathFileSurvey {
  std::int32_t completeFrames = 0;
  std::vector<float> lastFrame;  // x, y, z a particle
  float low[3] = {0, 0, 0}, high[3] = {0, 0, 0};
  std::vector<std::int32_t> settledFrom;
};

// Reads `stream` from its first frame to its last complete one (a frame the file ends
// inside, or that holds something that is no number, ends the pass).
PathFileSurvey surveyPathFile(PathFrameStream& stream);

}  // namespace zorvel
