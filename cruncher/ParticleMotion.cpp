#include "ParticleMotion.h"

#include <cmath>

namespace zorvel {

namespace {

float& axisOf(Vector3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }
float axisOf(const Vector3& v, int axis) { return axis == 0 ? v.x : axis == 1 ? v.y : v.z; }

}  // namespace

Vector3 stepTowardsHome(const Vector3& position, const Vector3& home, float velocityScalar) {
  // The distances are 32-bit floats of double differences.
  const Vector3 d{static_cast<float>(std::fabs(static_cast<double>(home.x) - position.x)),
                  static_cast<float>(std::fabs(static_cast<double>(home.y) - position.y)),
                  static_cast<float>(std::fabs(static_cast<double>(home.z) - position.z))};
  Vector3 step;
  if (d == Vector3{}) return step;
  int axis = 0;
  if (d.y > d.x) axis = 1;
  if (d.z > axisOf(d, axis)) axis = 2;
  const double delta = static_cast<double>(axisOf(home, axis)) - axisOf(position, axis);
  float along = delta > 0 ? velocityScalar : -velocityScalar;
  if (std::fabs(along) > axisOf(d, axis)) along = static_cast<float>(delta);
  axisOf(step, axis) = along;
  return step;
}

Vector3 positionAfter(const Vector3& position, const Vector3& step) {
  return {static_cast<float>(static_cast<double>(position.x) + step.x),
          static_cast<float>(static_cast<double>(position.y) + step.y),
          static_cast<float>(static_cast<double>(position.z) + step.z)};
}

}  // namespace zorvel
