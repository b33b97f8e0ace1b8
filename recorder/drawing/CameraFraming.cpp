#include "recorder/drawing/CameraFraming.h"

#include <algorithm>
#include <cmath>

#include "playback/Camera.h"

namespace zorvel {

namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

void Bounds::add(const Vector3& p) {
  if (empty) {
    low = high = p;
    empty = false;
    return;
  }
  low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
  high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
}

void frameCamera(ViewState& view, const Framing& framing) {
  const Bounds& bounds = framing.bounds;
  const float turnX = framing.turnX, turnY = framing.turnY;
  view.rotateX = turnX;
  view.rotateY = turnY;
  const Projection projection = projectionFor(framing.width, framing.height);
  const double tanY = std::tan(projection.fieldOfView * 0.5 * kPi / 180.0) * (1 - framing.margin);
  const double tanX = tanY * projection.aspect;
  // The corners as the camera turns them; the pan centres them, the distance fits them.
  Point3 corners[8];
  double lowX = 1e300, highX = -1e300, lowY = 1e300, highY = -1e300;
  for (int c = 0; c < 8; ++c) {
    const Vector3 corner{c & 1 ? bounds.high.x : bounds.low.x, c & 2 ? bounds.high.y : bounds.low.y,
                         c & 4 ? bounds.high.z : bounds.low.z};
    corners[c] = Camera::turned(corner, turnX, turnY);
    lowX = std::min(lowX, corners[c].x);
    highX = std::max(highX, corners[c].x);
    lowY = std::min(lowY, corners[c].y);
    highY = std::max(highY, corners[c].y);
  }
  const double centreX = (lowX + highX) / 2, centreY = (lowY + highY) / 2;
  // A corner at (x, y, z) after the turn is in view when |x - centreX| <= (D - z) tanX,
  // where D is the distance from the camera to the plane z = 0.
  double distance = projection.nearPlane + 1.0;
  for (const Point3& q : corners) {
    distance = std::max(distance, q.z + std::fabs(q.x - centreX) / tanX);
    distance = std::max(distance, q.z + std::fabs(q.y - centreY) / tanY);
    distance = std::max(distance, q.z + projection.nearPlane + 1.0);
  }
  view.panX = static_cast<float>(-centreX);
  view.panY = static_cast<float>(-centreY);
  view.zoom = static_cast<float>(kCameraDistance - distance);
}

Projection projectionReaching(const ViewState& view, const Bounds& bounds, int width, int height) {
  Projection projection = projectionFor(width, height);
  if (bounds.empty) return projection;
  // How far before the eye each corner lies: the scene is turned, then moved by the
  // pan and by zoom - kCameraDistance along z, towards the eye looking down -z.
  double farthest = 0;
  for (int c = 0; c < 8; ++c) {
    const Vector3 corner{c & 1 ? bounds.high.x : bounds.low.x, c & 2 ? bounds.high.y : bounds.low.y,
                         c & 4 ? bounds.high.z : bounds.low.z};
    farthest =
        std::max(farthest, -(Camera::turned(corner, view.rotateX, view.rotateY).z + view.zoom - kCameraDistance));
  }
  // A little room beyond the farthest corner, for a line's width and for rounding.
  projection.farPlane = std::max(projection.farPlane, farthest * 1.01 + 1.0);
  return projection;
}

}  // namespace zorvel
