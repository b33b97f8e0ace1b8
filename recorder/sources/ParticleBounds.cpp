#include "recorder/sources/ParticleBounds.h"

#include <cmath>

namespace zorvel {

namespace {

// The object's own extent around a position.
Bounds objectExtent(const ObjectShape& shape) {
  Bounds object;
  for (const Vector3& corner : cornerPoints(shape)) object.add(corner);
  return object;
}

}  // namespace

Bounds pixelsWithin(const Bounds& positions, const ViewerScene& scene, const ObjectShape& shape) {
  if (positions.empty) return positions;
  Bounds extent = objectExtent(shape);
  if (extent.empty) {
    float half = 0;
    for (const float scale : scene.pixelScale) half = std::max(half, std::fabs(scale) * 0.5f);
    extent.add({-half, -half, -half});
    extent.add({half, half, half});
  }
  Bounds bounds;
  bounds.add({positions.low.x + extent.low.x, positions.low.y + extent.low.y, positions.low.z + extent.low.z});
  bounds.add({positions.high.x + extent.high.x, positions.high.y + extent.high.y, positions.high.z + extent.high.z});
  return bounds;
}

Bounds pixelBounds(const ViewerScene& scene, const ObjectShape& shape, const float* coordinates) {
  // The object's own extent around each pixel, or the pixel's cube.
  const Bounds object = objectExtent(shape);
  Bounds bounds;
  for (std::size_t i = 0; i < scene.pixelCount; ++i) {
    const Vector3 p{coordinates[3 * i], coordinates[3 * i + 1], coordinates[3 * i + 2]};
    if (!object.empty) {
      bounds.add({p.x + object.low.x, p.y + object.low.y, p.z + object.low.z});
      bounds.add({p.x + object.high.x, p.y + object.high.y, p.z + object.high.z});
    } else {
      const float h = std::fabs(scene.pixelScale[i]) * 0.5f;
      bounds.add({p.x - h, p.y - h, p.z - h});
      bounds.add({p.x + h, p.y + h, p.z + h});
    }
  }
  return bounds;
}

}  // namespace zorvel
