#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

#include "common/BasicPixelImage.h"
#include "common/Vector3.h"
#include "cruncher/PixelParticle.h"

namespace zorvel {

// The cruncher's picture: one particle per pixel, index k = row x width + column, rows in
// TGA file order, and the rules that place the particles before they move: velocity
// scalars and height offsets from attribute values, the home grid and the scattering.
// Arithmetic follows one rule throughout: products and sums in double precision,
// stored into 32-bit floats where a field is a float, trunc toward zero.
class PixelImage : public BasicPixelImage<PixelParticle> {
 public:
  std::uint32_t pixelCount = 0;          // set by the run to the colour image's count
  Vector3 scatterVolumeScalar{1, 1, 1};  // copied from the attributes by the run
  Vector3 scatterVolumeSize;             // computed by scatter()

  // Velocity scalar of particle k from values[k] (k < count; surplus values ignored):
  // min + (max - min) x (v / 255), at least 0.01, truncated to thousandths.
  void applyVelocities(const float* values, std::size_t count, double minConstant, double maxConstant);
  // Home positions on the picture grid, centred on the origin, row 0 lowest.
  void placeOnGrid();
  // Depth = heightMax; height offset of particle k = trunc(heightMax x values[k] / 255).
  void applyHeightOffsets(const float* values, std::size_t count, float heightMax);
  // Depth = heightMax; every height offset = trunc(heightMax). For runs without a
  // usable height map.
  void applyUniformHeight(float heightMax);
  // Random start positions in the scatter volume, drawn from a generator seeded with
  // `seed`, then coincidences removed. Prints a line on `out` for every axis of the
  // scatter volume scalar that had to be raised to 1.
  void scatter(std::uint32_t seed, std::ostream& out);

  // The velocity scalar stored for attribute value v with the given range.
  static float velocityScalarFor(float v, double minConstant, double maxConstant);
  // The height offset for attribute value v.
  static float heightOffsetFor(float v, float heightMax);
  // A random position in the scatter volume (three draws: x, y, z).
  template <class Generator>
  Vector3 randomPosition(Generator& generator) const;
};

// 1/32767 in single precision, a hair below it.
constexpr float kInverseMaxDraw = 3.0518509e-05f;

template <class Generator>
Vector3 PixelImage::randomPosition(Generator& generator) const {
  const Vector3& s = scatterVolumeScalar;
  const Vector3& v = scatterVolumeSize;
  const auto offset = [](long long cell, float size, int integerSize) {
    double p = static_cast<double>(cell) - size * 0.5;
    if (integerSize % 2 == 0) p += 0.5;
    return static_cast<float>(p);
  };
  const long long rx = static_cast<long long>(static_cast<double>(generator.draw()) * width * s.x * kInverseMaxDraw);
  const long long ry = static_cast<long long>(static_cast<double>(generator.draw()) * height * s.y * kInverseMaxDraw);
  const long long rz = static_cast<long long>(static_cast<double>(generator.draw()) * depth * s.z * kInverseMaxDraw);
  return {offset(rx, v.x, static_cast<int>(width)), offset(ry, v.y, static_cast<int>(height)),
          offset(rz, v.z, static_cast<int>(depth))};
}

}  // namespace zorvel
