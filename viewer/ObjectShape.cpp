#include "viewer/ObjectShape.h"

#include <ostream>

namespace zorvel {

ObjectShape flattenObjectCorners(const RtgObject& object) {
  ObjectShape shape;
  if (object.objectCount() == 0) return shape;
  const std::vector<Vector3>& vertices = object.vertices();
  for (std::size_t p = 0; p < object.polygonCount(0); ++p) {
    const std::uint16_t corners = object.polygonCornerCounts()[p];
    const std::int32_t* index = object.polygonIndices().data() + object.polygonStarts()[p];
    shape.cornerCounts.push_back(corners);
    for (std::uint16_t c = 0; c < corners; ++c) {
      const Vector3& v = vertices[static_cast<std::size_t>(index[c])];
      shape.objectCornersX.push_back(v.x);
      shape.objectCornersY.push_back(v.y);
      shape.objectCornersZ.push_back(v.z);
    }
  }
  return shape;
}

void printObjectCorners(std::ostream& out, const ObjectShape& shape) {
  for (std::size_t n = 0; n < shape.objectCornersX.size(); ++n)
    out << "pos: " << shape.objectCornersX[n] << " " << shape.objectCornersY[n] << " " << shape.objectCornersZ[n]
        << std::endl;
}

std::vector<Vector3> cornerPoints(const ObjectShape& shape) {
  std::vector<Vector3> corners;
  corners.reserve(shape.objectCornersX.size());
  for (std::size_t n = 0; n < shape.objectCornersX.size(); ++n)
    corners.push_back({shape.objectCornersX[n], shape.objectCornersY[n], shape.objectCornersZ[n]});
  return corners;
}

}  // namespace zorvel
