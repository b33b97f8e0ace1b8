#pragma once

// What the first bytes of a file say it is, for the picture formats people keep their
// pictures in. A TGA file has no mark of its own: it is none of these.

#include <cstddef>
#include <cstdint>

namespace zorvel {

enum class PictureFormat { Unmarked, Png, Jpeg, Gif, Bmp, Tiff, WebP, Heic, Avif, Jpeg2000, JpegXl, Pnm, Psd, Ico };

// The format the first `size` bytes at `start` mark (16 bytes are enough). HEIC and
// AVIF are told by the brand their file type box starts with.
PictureFormat pictureFormatOf(const std::uint8_t* start, std::size_t size);

// Whether the recorder decodes pictures of `format` (besides TGA, which is unmarked).
bool recorderReads(PictureFormat format);

// The format in words: "a PNG picture"; nullptr for Unmarked.
const char* describePictureFormat(PictureFormat format);
// The format's name: "PNG"; nullptr for Unmarked.
const char* pictureFormatName(PictureFormat format);

}  // namespace zorvel
