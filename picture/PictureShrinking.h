#pragma once

// Pictures shrunk to the particles' grid, by the ffmpeg libraries' resampler: the size
// a picture shrinks to, and the shrinking.

#include <cstdint>

#include "common/Result.h"
#include "common/TgaImage.h"
#include "picture/PictureSize.h"

namespace zorvel {

// The largest size of the proportions of `size` with at most `most` pixels (at least
// one a side): `size` itself when it holds no more. The width and the height are each
// scaled by the same factor and rounded down; a side of one pixel then holds all the
// other may have.
PictureSize sizeWithin(PictureSize size, std::uint64_t most);

// `picture` shrunk to `size` (no larger than it on either side) as 32-bit R, G, B, A;
// its pixels first taken as the cruncher takes them (grey as R = G = B, a 16-bit TGA
// picture's as black). The picture itself when it has that size already. Fails where
// the libraries are missing (ToolMissing: "is larger than the particles asked for, and
// without ... it cannot be shrunk") or the resampler cannot be set up (out of memory).
Result<TgaImage> shrinkPicture(TgaImage picture, PictureSize size);

}  // namespace zorvel
