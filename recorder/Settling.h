#pragma once

// Which particles of a recording no longer move, and from which frame: a particle is
// settled from the frame after which its position never changes again. Worked out in the
// first pass over a recording's frames, at 4 bytes a particle, for the settled layer.

#include <cstdint>
#include <vector>

#include "viewer/PathFileReader.h"

namespace zorvel {

// The frame each particle settles from, worked out frame by frame as a recording's
// frames are read one after the other: 4 bytes a particle.
class SettlingWatch {
 public:
  explicit SettlingWatch(std::uint32_t particles) : settledFrom_(particles, 0) {}

  // The positions of the next frame (x, y, z a particle), and those of the frame before
  // it (none for the first).
  void add(const float* frame, const float* before);

  // The frames seen so far.
  std::int32_t frames() const { return frames_; }
  // For each particle, the first frame from which its position stayed the same in every
  // frame seen so far.
  const std::vector<std::int32_t>& settledFrom() const { return settledFrom_; }

 private:
  std::vector<std::int32_t> settledFrom_;
  std::int32_t frames_ = 0;
};

// The particles in the order they settle: by the frame they settle from, then by index;
// and the frame each settles from.
struct Settling {
  std::vector<std::int32_t> from;
  std::vector<std::uint32_t> inOrder;

  static Settling of(std::vector<std::int32_t> settledFrom);
};

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
