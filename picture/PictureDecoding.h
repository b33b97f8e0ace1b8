#pragma once

// A PNG, JPEG, GIF, BMP, TIFF, WebP or PNM picture (an animation's first frame, a TIFF's
// first page) decoded by the ffmpeg libraries' decoders, from the file's bytes in memory,
// and stood upright: a photo's orientation tag applied, its rows bottom first, as the
// cruncher lays its particles out. 32 bits a pixel, R, G, B and A as stored (not blended
// with anything). Needs the libraries loaded (codecLibraries()).

#include <cstddef>
#include <cstdint>

#include "common/PictureFormat.h"
#include "common/Result.h"
#include "common/TgaImage.h"
#include "picture/PictureHeader.h"
#include "picture/PictureSize.h"

namespace zorvel {

// The pixels a decoder may allocate for a picture of `size`: its rows and columns
// padded to whole blocks and aligned. What a decoding is measured by.
std::uint64_t decoderPixels(PictureSize size);

// The first picture in the `size` bytes at `data` (a whole file of `format`, with
// AV_INPUT_BUFFER_PADDING_SIZE zero bytes after them, whose `header` was read and found
// whole), decoded by a decoder that may not take a picture larger than the header
// declares, upright; or why not: Malformed with what the decoder says for a damaged
// file, Unsupported for a pixel format not converted.
Result<TgaImage> decodePicture(PictureFormat format, const std::uint8_t* data, std::size_t size,
                               const PictureHeader& header);

}  // namespace zorvel
