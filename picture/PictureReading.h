#pragma once

// Pictures in the formats people keep them in, read from a file. PNG, JPEG, GIF, BMP,
// TIFF, WebP and PNM are decoded by the ffmpeg libraries' decoders, HEIC and AVIF by
// libheif (an animation gives its first frame, a TIFF its first page, a HEIC its primary
// picture); a TGA picture goes through the project's own reader, so that it gives
// exactly the cruncher's pixels. Every
// picture comes back as that reader gives a TGA picture: a TgaImage whose rows run in the
// order the cruncher lays its particles out, row 0 lowest. So a picture stands upright:
// its bottom row comes first, as make-tga stores it, and a photo's orientation tag is
// applied first, so that a photo taken upright stands upright. A decoded picture has 32
// bits a pixel, R, G, B and A as stored (not blended with anything).
//
// The file is opened once and read whole, and its format told once, from its first
// bytes. Nothing here prints. A header's size is checked against the memory the caller
// has before anything of that size is allocated, and the decoder may not allocate for
// more pixels than the header declared.

#include <cstdint>
#include <string>

#include "common/Result.h"
#include "common/TgaImage.h"
#include "picture/PictureSize.h"

namespace zorvel {

// The picture in `fileName`, upright, or why not (the reason a phrase the file's name
// begins): CannotOpen as openReadable says; WrongFormat for a file that is no picture
// (an empty one too); Unsupported for a format or variant not read; CutShort or
// Malformed for a damaged one; TooLarge when reading it would take more than
// `memoryBytes`; ToolMissing where the library it needs (ffmpeg's or libheif) is not
// installed. Where `pictures` is given, it is set to how many pictures a picture read
// holds (an animation's frames, a TIFF's pages).
Result<TgaImage> readPicture(const std::string& fileName, std::uint64_t memoryBytes, std::uint32_t* pictures = nullptr);

// The formats read, in words for messages: "PNG, JPEG, ..., HEIC, AVIF and TGA".
extern const char* const kPicturesRead;

// The memory readPicture() takes at most, a pixel of the picture's declared size.
constexpr std::uint64_t kPictureReadingBytesPerPixel = 16;

}  // namespace zorvel
