#pragma once

// The cruncher's frame loop: from the scattered positions, frame after frame, every
// particle steps home (ParticleMotion) and every frame's positions are written to the
// path file (PathFileText), until a frame finds every particle at home. Frame 0 holds
// the scattered positions, the last frame every particle at home.
//
// Particles move independently of each other, so the particles are split into ranges,
// each stepped and formatted on its own thread and running ahead of the writer by a few
// frames; the writer joins the ranges' text frame by frame, in order, so the file is
// byte for byte what one thread writes. A range whose particles are all home stops
// computing and its last text stands for every later frame.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/Result.h"
#include "cruncher/PixelParticle.h"

namespace zorvel {

// Called on the loop's thread when frame `frame` begins (done false) and once it is
// written (done true).
using FrameProgress = std::function<void(std::int32_t frame, bool done)>;

// How many ranges the loop splits `particles` particles into for up to `threads`
// threads (0: one per processor): one a thread, but no range of fewer than 2048.
// Range r holds the particles from particles x r / ranges on.
std::size_t frameLoopRanges(std::size_t particles, unsigned threads);

// Runs the loop over `particles`, whose nextPosition holds the start position and
// homePosition and velocityScalar are set, and writes the path file `fileName`. Uses up
// to `threads` threads (0: one per processor); the file does not depend on the number.
// Returns the frame count, or fails (CannotWrite) unless every byte reached the file.
Result<std::int32_t> calculateFrames(std::vector<PixelParticle>& particles, const std::string& fileName,
                                     const FrameProgress& progress, unsigned threads = 0);

}  // namespace zorvel
