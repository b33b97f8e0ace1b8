#pragma once

// Which particles of a recording no longer move, and from which frame: a particle is
// settled from the frame after which its position never changes again. Worked out in the
// first pass over a recording's frames (or known from how the particles move), at 4
// bytes a particle, for the settled layer.

#include <cstdint>
#include <vector>

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

}  // namespace zorvel
