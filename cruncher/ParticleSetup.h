#pragma once

// How a run sets its particles up before the frames, in one order for the cruncher's run
// on files and the recorder's run in memory: the velocities, the home grid, the heights
// and the scattering, each with the run's console line.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <vector>

#include "common/Vector3.h"
#include "cruncher/PixelImage.h"

namespace zorvel {

// Where the velocities and the heights come from: a map's grey levels, or the constant
// for every particle, as the attribute files hold them.
struct ParticleSetup {
  Vector3 scatterVolumeScalar{2.0f, 2.0f, 2.0f};
  // The velocity file's values (a map's grey levels, or the constant for every pixel)
  // with the range they map onto; none: every particle keeps velocity 1.
  std::optional<std::vector<float>> velocityValues;
  double velocityMin = 1.0;
  double velocityMax = 1.0;
  // The height map's grey levels with heightMax as the height of white; without a map,
  // when `uniformHeight`, every particle's height is heightMax; else none is given.
  std::optional<std::vector<float>> heightLevels;
  bool uniformHeight = false;
  float heightMax = 0.0f;
};

// Sets up the particles of `colour` (its pixels filled): the velocities, the home grid,
// the heights, then the scattering from a generator seeded with `seed`, printing the
// run's lines for each on `out`.
void setUpParticles(PixelImage& colour, const ParticleSetup& setup, std::uint32_t seed, std::ostream& out);

}  // namespace zorvel
