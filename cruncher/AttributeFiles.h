#pragma once

// The cruncher's attribute files (".pColor", ".pOpacity", ".pScale", ".pVelocity",
// ".pHeight"): a count on the first line, then one value or colour per pixel. Writers
// fail (CannotWrite) unless every byte reached the file; nothing here prints.

#include <cstdint>
#include <string>
#include <vector>

#include "common/Result.h"
#include "cruncher/PixelImage.h"

namespace zorvel {

// image.name + extension: line 1 (int)height x (int)width, then per particle its grey
// value (8 to 15 bits per pixel) or "R G B A " (other depths).
Result<void> writePixelFile(const PixelImage& image, const std::string& extension);

// baseName + extension: line 1 `count`, then `count` lines holding `value` with 6
// significant digits.
Result<void> writeConstantFile(const std::string& baseName, const std::string& extension, float value,
                               std::uint32_t count);

// An attribute file read back: its count, then up to that many values (values after an
// unreadable one are not there). Fails only when the file cannot be opened.
Result<std::vector<float>> readAttributeValues(const std::string& fileName);

}  // namespace zorvel
