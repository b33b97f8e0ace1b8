#pragma once

#include "PixelParticle.h"
#include "Vector3.h"

namespace zorvel {

// How a particle moves home, one frame at a time: along one axis per frame, the axis
// on which it is farthest from home (ties go to the earlier of x, y, z), by its
// velocity scalar, and never past home: a step longer than what is left lands exactly
// on the home coordinate. A particle at home stays there.

// The step of one frame for a particle at `position` with home `home`: a vector with
// the step on the chosen axis and 0 on the other two.
Vector3 stepTowardsHome(const Vector3& position, const Vector3& home, float velocityScalar);

// Where the particle will be after that step (sums formed in double precision).
Vector3 positionAfter(const Vector3& position, const Vector3& step);

// One frame of `particle`: fills `step` and `nextPosition` from `position`.
inline void stepParticle(PixelParticle& particle) {
  particle.step = stepTowardsHome(particle.position, particle.homePosition, particle.velocityScalar);
  particle.nextPosition = positionAfter(particle.position, particle.step);
}

}  // namespace zorvel
