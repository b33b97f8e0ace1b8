#pragma once

// What the header of a PNG, JPEG, GIF or BMP file says, read from the file's bytes
// before any pixel is decoded: the size it declares, and whether the file holds its
// (first) picture whole. A decoder may make a picture of what a cut file holds, grey
// where the rest would be: the containers are walked by their lengths to where the
// picture ends. Each file is walked once. Nothing here allocates for the picture.

#include <cstddef>
#include <cstdint>

#include "common/PictureFormat.h"
#include "common/Result.h"
#include "picture/PictureSize.h"

namespace zorvel {

struct PictureHeader {
  PictureSize size;    // as declared
  Result<void> whole;  // whether the file holds the picture whole, or why not (CutShort or Malformed)
};

// The header of the `size` bytes at `data`, a file of `format`; fails, saying why, where
// it declares no size (cut short inside its header, or damaged). A format without a
// header read here is Unsupported.
Result<PictureHeader> readPictureHeader(PictureFormat format, const std::uint8_t* data, std::size_t size);

}  // namespace zorvel
