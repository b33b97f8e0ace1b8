#pragma once

// The ffmpeg libraries' resampler, which turns decoded pictures into 32-bit R, G, B, A
// and shrinks pictures to the particles' grid. Needs the libraries loaded
// (codecLibraries()).

#include <cstddef>
#include <cstdint>

#include "picture/CodecLibraries.h"
#include "picture/PictureSize.h"

namespace zorvel {

// The resampler's vector code reads a little past the last byte of a picture it is
// given (up to 32 bytes of a tightly packed RGBA picture, seen on this machine's
// libswscale): every picture handed to it has this many more bytes after its pixels.
// The decoders' frames have them already.
constexpr std::size_t kScalerPadding = AV_INPUT_BUFFER_PADDING_SIZE;

// A picture handed to the resampler: its planes and their strides as the libraries
// keep them (kScalerPadding bytes readable after the last pixel), its size, pixel
// format and colour range.
struct ResamplerInput {
  const std::uint8_t* const* planes;
  const int* strides;
  PictureSize size;
  AVPixelFormat format;
  AVColorRange range;
};

// Scales `in` to RGBA of `to`, rows in the order they come: 4 bytes a pixel at `out`.
// Lanczos where it shrinks; grey and YUV taken at full range where the picture says so.
// False where the resampler cannot be set up.
bool scaleToRgba(const ResamplerInput& in, PictureSize to, std::uint8_t* out);

}  // namespace zorvel
