#pragma once

// Reading the cruncher's colour, opacity and scale files for the viewer: the count on
// the first line must be the path file's pixel count, then one value (a grey colour or
// an opacity or a scale) or four values (R, G, B, A) per pixel. Nothing here prints;
// a failure's kind tells the viewer which of its lines to print: Undefined (no file
// named), CannotOpen, CountMismatch (the count differs), WrongFormat (the values do
// not fit the count).

#include <cstdint>
#include <string>
#include <vector>

#include "common/Result.h"

namespace zorvel {

// Per-pixel colour channels as read (values above a byte are kept).
struct PixelColours {
  std::vector<std::int32_t> red, green, blue, alpha;
};

Result<PixelColours> readColourFile(const std::string& fileName, std::uint32_t pixelCount);
Result<std::vector<std::int32_t>> readOpacityFile(const std::string& fileName, std::uint32_t pixelCount);
// Each value v becomes the drawn size pixelScaleFor(v, min, max).
Result<std::vector<float>> readScaleFile(const std::string& fileName, std::uint32_t pixelCount, double min, double max);

// The drawn size for scale value v: min + (max - min) x (v / 255), in single precision.
float pixelScaleFor(float v, double min, double max);

}  // namespace zorvel
