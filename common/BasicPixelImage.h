#pragma once

// A picture as an array of pixel records. The cruncher's records are particles, the
// blender's keyframe pixels; both begin with their ColorRGBA `colour`, and the fill from
// a TGA image is written once here for any such record.

#include <cstdint>
#include <string>
#include <vector>

#include "common/ColorRGBA.h"
#include "common/TgaImage.h"

namespace zorvel {

template <class Record>
class BasicPixelImage {
 public:
  std::string name;  // the image's file name, as the user typed it
  float width = 0.0f;
  float height = 0.0f;
  float depth = 1.0f;
  std::uint32_t bitsPerPixel = 0;
  std::vector<Record> records;  // (int)width x (int)height, row after row in file order

  // Copies a TGA image's size and colours. Every record is default-constructed first;
  // 8-bit pixels give grey (R = G = B, alpha 255), 24- and 32-bit pixels R, G, B with
  // alpha 255; 16-bit images (and pixels that do not cover the picture) keep the default
  // colours. The caller has checked that the picture's size is one it takes.
  void fillFromTga(const TgaImage& image) {
    width = static_cast<float>(image.info.width);
    height = static_cast<float>(image.info.height);
    depth = 1.0f;
    bitsPerPixel = image.info.bitsPerPixel;
    records.clear();
    records.shrink_to_fit();
    records.resize(static_cast<std::size_t>(image.info.pixelCount()));
    const std::uint8_t* pixels = image.pixels.data();
    const std::size_t bytes = bitsPerPixel / 8;
    if ((bytes != 1 && bytes != 3 && bytes != 4) || image.pixels.size() < records.size() * bytes) return;
    for (std::size_t k = 0; k < records.size(); ++k) {
      const std::uint8_t* p = pixels + k * bytes;
      ColorRGBA& colour = records[k].colour;
      if (bytes == 1) {
        colour.red = colour.green = colour.blue = p[0];
      } else {
        colour.red = p[0];
        colour.green = p[1];
        colour.blue = p[2];
      }
      colour.alpha = 255;
    }
  }

  // (int)height x (int)width.
  long long pixelCountOfSize() const {
    return static_cast<long long>(static_cast<int>(height)) * static_cast<int>(width);
  }
};

}  // namespace zorvel
