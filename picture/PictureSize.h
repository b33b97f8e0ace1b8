#pragma once

// A picture's size in pixels: as a header declares it, as it is decoded, or as the
// particles' grid lays it out.

#include <cstdint>
#include <utility>
#include <vector>

#include "common/TgaImage.h"

namespace zorvel {

struct PictureSize {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint64_t pixels() const { return std::uint64_t{width} * height; }
  friend bool operator==(const PictureSize& a, const PictureSize& b) {
    return a.width == b.width && a.height == b.height;
  }
};

// The size of `picture` as the cruncher's grid lays it out.
inline PictureSize sizeOf(const TgaImage& picture) { return {picture.info.width, picture.info.height}; }

// A picture of `size` whose `pixels` are 32-bit R, G, B, A, bottom row first.
inline TgaImage rgbaPicture(PictureSize size, std::vector<std::uint8_t> pixels) {
  TgaImage image;
  image.info.width = size.width;
  image.info.height = size.height;
  image.info.bitsPerPixel = 32;
  image.info.alphaBits = 8;
  image.info.kind = TgaImageKind::Rgba;
  image.pixels = std::move(pixels);
  return image;
}

}  // namespace zorvel
