#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "cruncher/PixelParticle.h"

namespace zorvel {

// Moves particles off shared positions, in passes, until a pass changes nothing.
// A pass visits every particle i in index order and walks j = i + 1 .. N - 1; while
// particle j sits exactly on particle i, particle i takes a new position from
// `drawPosition` (written to position and nextPosition). Only the visited particle moves
// during its turn, so the particles are sorted by position once per pass and each turn
// looks up just the particles on its current position (on its first, the one sorted
// after it): a pass costs about O(N log N) instead of comparing every pair, with the
// same result and the same draws.
// Returns the number of new positions drawn.
std::size_t removeCoincidences(std::vector<PixelParticle>& particles, const std::function<Vector3()>& drawPosition);

}  // namespace zorvel
