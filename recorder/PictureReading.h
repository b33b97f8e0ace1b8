#pragma once

// Pictures in the formats people keep them in, read for the recorder. PNG, JPEG, GIF (its
// first frame) and BMP are decoded by the ffmpeg libraries' decoders; a TGA picture goes
// through the project's own reader, so that it gives exactly the cruncher's pixels. Every
// picture comes back as that reader gives a TGA picture: a TgaImage whose rows run in the
// order the cruncher lays its particles out, row 0 lowest. So a picture stands upright:
// its bottom row comes first, as make-tga stores it, and a photo's orientation tag is
// applied first, so that a photo taken upright stands upright. A decoded picture has 32
// bits a pixel, R, G, B and A as stored (not blended with anything).
//
// Nothing here prints. A header's size is checked against the memory the caller has
// before anything of that size is allocated, and the decoder may not allocate for more
// pixels than the header declared.

#include <cstdint>
#include <string>

#include "common/Result.h"
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

// The picture in `fileName`, upright, or why not (the reason a phrase the file's name
// begins): CannotOpen as openReadable says; WrongFormat for a file that is no picture
// (an empty one too); Unsupported for a format or variant not read; CutShort or
// Malformed for a damaged one; TooLarge when reading it would take more than
// `memoryBytes`.
Result<TgaImage> readPicture(const std::string& fileName, std::uint64_t memoryBytes);

// The memory readPicture() takes at most, a pixel of the picture's declared size.
constexpr std::uint64_t kPictureReadingBytesPerPixel = 16;

// The size of `picture` as the cruncher's grid lays it out.
inline PictureSize sizeOf(const TgaImage& picture) { return {picture.info.width, picture.info.height}; }

// The largest size of the proportions of `size` with at most `most` pixels (at least
// one a side): `size` itself when it holds no more. The width and the height are each
// scaled by the same factor and rounded down (a side of one pixel then holds all the
// other may have), then whichever side is the longer for its share is shortened until
// the pixels fit.
PictureSize sizeWithin(PictureSize size, std::uint64_t most);

// `picture` shrunk to `size` (no larger than it on either side) by the ffmpeg libraries'
// resampler, as 32-bit R, G, B, A; its pixels first taken as the cruncher takes them
// (grey as R = G = B, a 16-bit TGA picture's as black). The picture itself when it has
// that size already. Fails only when the resampler cannot be set up (out of memory).
Result<TgaImage> shrinkPicture(TgaImage picture, PictureSize size);

}  // namespace zorvel
