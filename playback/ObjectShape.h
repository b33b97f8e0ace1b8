#pragma once

#include <cstdint>
#include <iosfwd>
#include <vector>

#include "Vector3.h"

namespace zorvel {

// The object drawn in place of each pixel: its polygons' corner counts and the corner
// coordinates, polygon after polygon, corner after corner.
struct ObjectShape {
  std::vector<std::uint16_t> cornerCounts;
  std::vector<float> objectCornersX;
  std::vector<float> objectCornersY;
  std::vector<float> objectCornersZ;
};

// Looks up the corners of `polygonCount` polygons (polygon p has cornerCounts[p]
// indices from indexStarts[p] into `indices`) in `vertices`, printing "pos: x y z" for
// each corner on `out`. An index outside `vertices` is never used: its polygon is left
// out and the shape returned is empty, so that the view draws cubes.
ObjectShape flattenObjectCorners(std::size_t polygonCount, const std::uint16_t* cornerCounts,
                                 const std::uint32_t* indexStarts, const std::int32_t* indices,
                                 const std::vector<Vector3>& vertices, std::ostream& out);

}  // namespace zorvel
