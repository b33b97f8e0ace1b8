#include "ObjectShape.h"

#include <ostream>

namespace zorvel {

ObjectShape flattenObjectCorners(std::size_t polygonCount, const std::uint16_t* cornerCounts,
                                 const std::uint32_t* indexStarts, const std::int32_t* indices,
                                 const std::vector<Vector3>& vertices, std::ostream& out) {
  ObjectShape shape;
  for (std::size_t p = 0; p < polygonCount; ++p) {
    const std::int32_t* corner = indices + indexStarts[p];
    for (std::uint16_t c = 0; c < cornerCounts[p]; ++c)
      if (corner[c] < 0 || static_cast<std::size_t>(corner[c]) >= vertices.size()) return ObjectShape{};
    shape.cornerCounts.push_back(cornerCounts[p]);
    for (std::uint16_t c = 0; c < cornerCounts[p]; ++c) {
      const Vector3& v = vertices[static_cast<std::size_t>(corner[c])];
      shape.objectCornersX.push_back(v.x);
      shape.objectCornersY.push_back(v.y);
      shape.objectCornersZ.push_back(v.z);
      out << "pos: " << v.x << " " << v.y << " " << v.z << std::endl;
    }
  }
  return shape;
}

}  // namespace zorvel
