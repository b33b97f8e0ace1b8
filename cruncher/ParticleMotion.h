#pragma once

#include <cmath>

#include "common/Vector3.h"

namespace zorvel {

// How a particle moves home, one frame at a time: along one axis per frame, the axis
// on which it is farthest from home (ties go to the earlier of x, y, z), by its
// velocity scalar, and never past home: a step longer than what is left lands exactly
// on the home coordinate. A particle at home stays there. The frame loop runs this for
// every particle in every frame, so it is written here, inline.

// The step of one frame for a particle at `position` with home `home`: a vector with
// the step on the chosen axis and 0 on the other two.
inline Vector3 stepTowardsHome(const Vector3& position, const Vector3& home, float velocityScalar) {
  Vector3 step;
  if (position == home) return step;
  // The distances are 32-bit floats of double differences.
  const float d[3] = {static_cast<float>(std::fabs(static_cast<double>(home.x) - position.x)),
                      static_cast<float>(std::fabs(static_cast<double>(home.y) - position.y)),
                      static_cast<float>(std::fabs(static_cast<double>(home.z) - position.z))};
  if (d[0] == 0.0f && d[1] == 0.0f && d[2] == 0.0f) return step;
  int axis = 0;
  if (d[1] > d[0]) axis = 1;
  if (d[2] > d[axis]) axis = 2;
  const float from[3] = {position.x, position.y, position.z};
  const float to[3] = {home.x, home.y, home.z};
  const double delta = static_cast<double>(to[axis]) - from[axis];
  float along = delta > 0 ? velocityScalar : -velocityScalar;
  if (std::fabs(along) > d[axis]) along = static_cast<float>(delta);
  (axis == 0 ? step.x : axis == 1 ? step.y : step.z) = along;
  return step;
}

// Where the particle will be after that step (sums formed in double precision).
inline Vector3 positionAfter(const Vector3& position, const Vector3& step) {
  return {static_cast<float>(static_cast<double>(position.x) + step.x),
          static_cast<float>(static_cast<double>(position.y) + step.y),
          static_cast<float>(static_cast<double>(position.z) + step.z)};
}

// A particle as the frame loop moves it: where it is in the frame about to be written,
// its home and velocity, and whether it has arrived there for good.
struct MovingParticle {
  Vector3 position;
  Vector3 home;
  float velocity = 1.0f;
  bool atHome = false;
};

// The particle's turn once its position for the frame is written: away from home, it
// takes its step and the axis it moved along comes back (0, 1, 2); at home, it stays
// there from now on and -1 comes back. A frame with no particle away from home is the
// last one.
inline int takeStep(MovingParticle& m) {
  if (m.atHome) return -1;
  if (m.position == m.home) {
    m.atHome = true;
    return -1;
  }
  const Vector3 step = stepTowardsHome(m.position, m.home, m.velocity);
  m.position = positionAfter(m.position, step);
  return step.x != 0.0f ? 0 : step.y != 0.0f ? 1 : 2;
}

}  // namespace zorvel
