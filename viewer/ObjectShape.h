#pragma once

#include <cstdint>
#include <iosfwd>
#include <vector>

#include "common/Vector3.h"
#include "viewer/RtgObject.h"

namespace zorvel {

// The object drawn in place of each pixel: its polygons' corner counts and the corner
// coordinates, polygon after polygon, corner after corner.
struct ObjectShape {
  std::vector<std::uint16_t> cornerCounts;
  std::vector<float> objectCornersX;
  std::vector<float> objectCornersY;
  std::vector<float> objectCornersZ;
};

// The corners of the first object's polygons, looked up in the object's vertices (a
// reading without fault has every index within them). Empty when there is no object.
ObjectShape flattenObjectCorners(const RtgObject& object);

// The corners of `shape` as points, in order.
std::vector<Vector3> cornerPoints(const ObjectShape& shape);

// "pos: x y z" for every corner of `shape`, in order.
void printObjectCorners(std::ostream& out, const ObjectShape& shape);

}  // namespace zorvel
