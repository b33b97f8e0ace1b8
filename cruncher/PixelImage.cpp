#include "cruncher/PixelImage.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "common/GreyLevel.h"
#include "common/PictureGrid.h"
#include "cruncher/CoincidenceRemoval.h"
#include "cruncher/RandomGenerator.h"

namespace zorvel {

// Positions use a pixel spacing of one unit on every axis and the origin at (0, 0, 0).

float PixelImage::velocityScalarFor(float v, double minConstant, double maxConstant) {
  const double value = minConstant + (maxConstant - minConstant) * (static_cast<double>(v) * kInverse255);
  float stored = static_cast<float>(value);
  if (value < 0.01) stored = 0.01f;
  return static_cast<float>(std::trunc(static_cast<double>(stored) * 1000.0f) * 0.001f);
}

float PixelImage::heightOffsetFor(float v, float heightMax) {
  return static_cast<float>(std::trunc(static_cast<double>(heightMax) * (static_cast<double>(v) * kInverse255))) + 0.0f;
}

void PixelImage::applyVelocities(const float* values, std::size_t count, double minConstant, double maxConstant) {
  const std::size_t n = std::min(count, records.size());
  for (std::size_t k = 0; k < n; ++k)
    records[k].velocityScalar = velocityScalarFor(values[k], minConstant, maxConstant);
}

void PixelImage::placeOnGrid() {
  const int w = static_cast<int>(width);
  const int h = static_cast<int>(height);
  for (int r = 0; r < h; ++r) {
    for (int j = 0; j < w; ++j) {
      PixelParticle& p = records[static_cast<std::size_t>(r) * w + j];
      p.homePosition = p.position = p.nextPosition = gridPosition(j, r, width, height);
    }
  }
}

void PixelImage::applyHeightOffsets(const float* values, std::size_t count, float heightMax) {
  depth = heightMax;
  const std::size_t n = std::min(count, records.size());
  for (std::size_t k = 0; k < n; ++k) {
    PixelParticle& p = records[k];
    p.position.z = p.homePosition.z = heightOffsetFor(values[k], heightMax);
  }
}

void PixelImage::applyUniformHeight(float heightMax) {
  depth = heightMax;
  const float h = std::trunc(heightMax) + 0.0f;
  for (PixelParticle& p : records) p.position.z = p.homePosition.z = h;
}

void PixelImage::scatter(std::uint32_t seed, std::ostream& out) {
  const auto atLeastOne = [&out](float& value, char axis) {
    if (value < 1.0f) {
      value = 1.0f;
      out << "scatterVolumeScalar." << axis << " was less than 1.0. Defaulted to 1.0." << std::endl;
    }
  };
  Vector3& s = scatterVolumeScalar;
  atLeastOne(s.x, 'x');
  atLeastOne(s.y, 'y');
  atLeastOne(s.z, 'z');
  scatterVolumeSize = {static_cast<float>(static_cast<double>(width) * s.x + 2),
                       static_cast<float>(static_cast<double>(height) * s.y + 2),
                       static_cast<float>(static_cast<double>(s.z) * depth + 2)};

  RandomGenerator generator(seed);
  for (PixelParticle& p : records) p.position = p.nextPosition = randomPosition(generator);
  removeCoincidences(records, [this, &generator] { return randomPosition(generator); });
}

}  // namespace zorvel
