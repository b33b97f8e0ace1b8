#pragma once

// Edges a box shares with a box drawn before it. Boxes that touch face to face with the
// same cross-section, as the pixels of a picture at home do, have edges with exactly the
// same two ends, in the same direction (the wire box's edge table runs its vertical
// edges all one way and its two loops alike). Such an edge drawn a second time makes the
// very fragments it made the first time, at the very same depths; with the depth test
// passing only what is nearer, none of them passes, whatever was drawn in between and
// whatever the blending. Leaving the later copy out therefore changes no pixel, as long
// as the earlier box's edges are drawn before the later one's.
//
// Found are: the bottom loop of a box on top of an earlier one of the same x and z
// extent, its top loop under one, and the two vertical edges of a side it shares with
// a box of the same y extent beside it (along x, or along z); and every edge of a box
// the very same as an earlier one. An edge shared only in reverse direction is kept, and
// so is one that the earlier box left out.

#include <cstdint>
#include <vector>

#include "common/Vector3.h"
#include "playback/BoxGeometry.h"

namespace zorvel {

class SharedEdges {
 public:
  // Starts a picture of at most `boxes` boxes; boxes past that many are still answered
  // but not remembered.
  void begin(std::size_t boxes);

  // The edges of the next box drawn, whose kBoxCorners corners writeBoxCorners wrote
  // at `corners`, that a box given to next() since begin() already has and drew (bit k
  // for the edge at 2k, 2k + 1 of kWireBoxCorners); the box is then remembered as drawn,
  // but for the edges in `leftOut` that no box drew before it. Boxes must come in
  // drawing order.
  unsigned next(const Vector3* corners, unsigned leftOut = 0);

 private:
  struct Corners {
    float low[3], high[3];
    unsigned drawn;  // the edges with these corners' ends that are in the picture
  };
  // Open addressing: each slot holds one more than the index of a box in corners_,
  // 0 when empty.
  struct Table {
    std::vector<std::uint32_t> slots;
    // The slot holding the box whose corner (`high` or low) is `key`, or the empty
    // slot where it would go.
    std::size_t slotFor(const std::vector<Corners>& corners, const float* key, bool high) const;
    std::uint32_t find(const std::vector<Corners>& corners, const float* key, bool high) const;
    void insert(const std::vector<Corners>& corners, const float* key, bool high, std::uint32_t box);
  };
  std::vector<Corners> corners_;
  Table byLow_, byHigh_;  // boxes by their low corner, and by their high corner
};

}  // namespace zorvel
