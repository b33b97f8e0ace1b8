#pragma once

// The frames of a run computed in memory instead of written to the path file: the frame
// loop's own steps, and each frame's positions as the viewer reads them back from the
// file, every coordinate rounded to the file's digits. The frames come one after the
// other from frame 0; what is held grows with the particles, never with the frames.

#include <cstdint>
#include <vector>

#include "cruncher/ParticleMotion.h"
#include "cruncher/PixelParticle.h"

namespace zorvel {

// The particles as the frame loop starts them: at their scattered positions
// (nextPosition), with their homes and velocities.
std::vector<MovingParticle> startingParticles(const std::vector<PixelParticle>& particles);

// How many steps each particle takes home: the frame from which it stays at home. The
// run's path file holds one frame more than the most of them. The particles are split
// into ranges as the frame loop splits them, each stepped on a thread of its own.
std::vector<std::int32_t> stepsHome(const std::vector<MovingParticle>& particles, unsigned threads = 0);

// The frame count of the run's path file, from stepsHome().
std::int32_t frameCountFor(const std::vector<std::int32_t>& steps);

// The velocity, from 0.01 to 20 in thousandths, whose run of `particles` (at their
// start positions) has the frame count nearest to `frames`: the count estimated as
// one more than the most steps any particle takes, each the distance along each axis
// over the velocity scalar, rounded up, added up (as the steps go, but for rounding).
// The faster of two as near.
double velocityForFrames(const std::vector<MovingParticle>& particles, std::int64_t frames);

// The frame count that estimate gives for velocity `velocity`.
std::int64_t estimatedFrames(const std::vector<MovingParticle>& particles, double velocity);

// Steps the particles frame after frame and writes a frame's positions, as the path
// file gives them back, for any frame from the last one written on.
class FrameStepper {
 public:
  explicit FrameStepper(std::vector<MovingParticle> particles);

  // The next frame that can be written.
  std::int32_t nextFrame() const { return frame_; }

  // Steps on to `frame` (nextFrame() or later) and writes its positions into
  // `coordinates`, x, y and z a particle. `coordinates` holds the positions this stepper
  // wrote last: only the particles that moved since are written again.
  void writeFrame(std::int32_t frame, float* coordinates);

 private:
  std::vector<MovingParticle> particles_;
  std::vector<std::uint32_t> away_;     // the particles not yet home for good
  std::vector<std::uint8_t> moved_;     // the axes each moved along since the last frame written, a bit each
  std::vector<std::uint32_t> changed_;  // the particles with bits in moved_
  std::int32_t frame_ = 0;              // the frame the particles stand at
  bool written_ = false;                // whether any frame was written
};

}  // namespace zorvel
