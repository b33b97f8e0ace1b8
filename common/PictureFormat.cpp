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

namespace {

struct FormatWords {
  const char* name;
  const char* description;
};

FormatWords wordsFor(PictureFormat format) {
  switch (format) {
    case PictureFormat::Png: return {"PNG", "a PNG picture"};
    case PictureFormat::Jpeg: return {"JPEG", "a JPEG picture"};
    case PictureFormat::Gif: return {"GIF", "a GIF picture"};
    case PictureFormat::Bmp: return {"BMP", "a BMP picture"};
    case PictureFormat::Tiff: return {"TIFF", "a TIFF picture"};
    case PictureFormat::WebP: return {"WebP", "a WebP picture"};
    case PictureFormat::Unmarked: break;
  }
  return {nullptr, nullptr};
}

}  // namespace

const char* describePictureFormat(PictureFormat format) { return wordsFor(format).description; }

const char* pictureFormatName(PictureFormat format) { return wordsFor(format).name; }

}  // namespace zorvel
