#pragma once

// A cruncher picture of a given size, its particles default-constructed, for tests of
// what the run does to them.

#include "cruncher/PixelImage.h"

namespace zorvel::test {

inline PixelImage imageOfSize(int width, int height) {
  PixelImage image;
  image.width = static_cast<float>(width);
  image.height = static_cast<float>(height);
  image.records.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  image.pixelCount = static_cast<std::uint32_t>(width * height);
  return image;
}

}  // namespace zorvel::test
