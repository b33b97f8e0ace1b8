#pragma once

// The seven-line summary printed after a picture is read: its name, size, pixel count,
// depth and channels between two rule lines.

#include <cstdint>
#include <iosfwd>
#include <string>

#include "common/TgaImage.h"

namespace zorvel {

// Width and height print in the stream's default float format (256 as 256); the pixel
// count is (int)height x (int)width.
void printImageSummary(std::ostream& out, const std::string& name, float width, float height,
                       std::uint32_t bitsPerPixel);

// The summary of what a header declares, for a picture inspected and not decoded.
inline void printImageSummary(std::ostream& out, const std::string& name, const TgaInfo& info) {
  printImageSummary(out, name, static_cast<float>(info.width), static_cast<float>(info.height), info.bitsPerPixel);
}

}  // namespace zorvel
