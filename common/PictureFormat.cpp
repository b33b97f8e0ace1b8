#include "common/PictureFormat.h"

#include <cstring>
#include <string_view>

namespace zorvel {

PictureFormat pictureFormatOf(const std::uint8_t* start, std::size_t size) {
  const auto startsWith = [&](std::string_view magic, std::size_t at = 0) {
    return size >= at + magic.size() && std::memcmp(start + at, magic.data(), magic.size()) == 0;
  };
  if (startsWith("\x89PNG\r\n\x1a\n")) return PictureFormat::Png;
  if (startsWith("\xFF\xD8\xFF")) return PictureFormat::Jpeg;
  if (startsWith("GIF87a") || startsWith("GIF89a")) return PictureFormat::Gif;
  if (startsWith("BM")) return PictureFormat::Bmp;
  if (startsWith("II*") || startsWith(std::string_view("MM\0*", 4))) return PictureFormat::Tiff;
  if (startsWith("RIFF") && startsWith("WEBP", 8)) return PictureFormat::WebP;
  return PictureFormat::Unmarked;
}

const char* describePictureFormat(PictureFormat format) {
  switch (format) {
    case PictureFormat::Png: return "a PNG picture";
    case PictureFormat::Jpeg: return "a JPEG picture";
    case PictureFormat::Gif: return "a GIF picture";
    case PictureFormat::Bmp: return "a BMP picture";
    case PictureFormat::Tiff: return "a TIFF picture";
    case PictureFormat::WebP: return "a WebP picture";
    case PictureFormat::Unmarked: break;
  }
  return nullptr;
}

}  // namespace zorvel
