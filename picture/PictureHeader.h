#pragma once

// What the header of a PNG, JPEG, GIF, BMP, TIFF, WebP or PNM file says, read from the
// file's bytes before any pixel is decoded: the size it declares, whether the file holds
// its (first) picture whole, and how many pictures it holds (an animation's frames, a
// TIFF's pages). A decoder may make a picture of what a cut file holds, grey where the
// rest would be: the containers are walked by their lengths to where the picture ends.
// Each file is walked once. Nothing here allocates for the picture.

#include <cstddef>
#include <cstdint>

#include "common/PictureFormat.h"
#include "common/Result.h"
#include "picture/PictureSize.h"

namespace zorvel {

struct PictureHeader {
  PictureSize size;            // as declared
  Result<void> whole;          // whether the file holds the picture whole, or why not (CutShort or Malformed)
  std::uint32_t pictures = 1;  // the pictures the file holds, as far as it holds them; the first is read
  std::size_t firstFrame = 0;  // an animated WebP's first frame: where its ANMF chunk's data starts
};

// The header of the `size` bytes at `data`, a file of `format`; fails, saying why, where
// it declares no size (cut short inside its header, or damaged). A format without a
// header read here is Unsupported.
Result<PictureHeader> readPictureHeader(PictureFormat format, const std::uint8_t* data, std::size_t size);

// Whether a HEIC or AVIF file (a sequence of boxes, each its length first) holds each of
// its top-level boxes whole: CutShort, naming the box it ends in, where not. Its size is
// read by the library that decodes it.
Result<void> boxesWhole(PictureFormat format, const std::uint8_t* data, std::size_t size);

}  // namespace zorvel
