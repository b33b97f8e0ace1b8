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
  if (startsWith("ftyp", 4)) {
    for (const char* brand : {"avif", "avis"})
      if (startsWith(brand, 8)) return PictureFormat::Avif;
    for (const char* brand : {"heic", "heix", "hevc", "hevx", "heim", "heis", "mif1", "msf1"})
      if (startsWith(brand, 8)) return PictureFormat::Heic;
  }
  if (startsWith(std::string_view("\0\0\0\x0CjP  \r\n\x87\n", 12)) || startsWith("\xFF\x4F\xFF\x51"))
    return PictureFormat::Jpeg2000;
  if (startsWith(std::string_view("\0\0\0\x0CJXL \r\n\x87\n", 12)) || startsWith("\xFF\x0A"))
    return PictureFormat::JpegXl;
  if (size >= 3 && start[0] == 'P' && start[1] >= '1' && start[1] <= '7' &&
      (start[2] == ' ' || start[2] == '\n' || start[2] == '\r' || start[2] == '\t'))
    return PictureFormat::Pnm;
  if (startsWith("8BPS")) return PictureFormat::Psd;
  if (startsWith(std::string_view("\0\0\x01\0", 4)) && size >= 6 && (start[4] | start[5]) != 0)
    return PictureFormat::Ico;
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
    case PictureFormat::Heic: return {"HEIC", "a HEIC picture"};
    case PictureFormat::Avif: return {"AVIF", "an AVIF picture"};
    case PictureFormat::Jpeg2000: return {"JPEG 2000", "a JPEG 2000 picture"};
    case PictureFormat::JpegXl: return {"JPEG XL", "a JPEG XL picture"};
    case PictureFormat::Pnm: return {"PNM", "a PNM picture"};
    case PictureFormat::Psd: return {"PSD", "a PSD picture"};
    case PictureFormat::Ico: return {"ICO", "an ICO picture"};
    case PictureFormat::Unmarked: break;
  }
  return {nullptr, nullptr};
}

}  // namespace

bool recorderReads(PictureFormat format) {
  switch (format) {
    case PictureFormat::Png:
    case PictureFormat::Jpeg:
    case PictureFormat::Gif:
    case PictureFormat::Bmp:
    case PictureFormat::Tiff:
    case PictureFormat::WebP:
    case PictureFormat::Pnm:
    case PictureFormat::Heic:
    case PictureFormat::Avif: return true;
    default: return false;
  }
}

const char* describePictureFormat(PictureFormat format) { return wordsFor(format).description; }

const char* pictureFormatName(PictureFormat format) { return wordsFor(format).name; }

}  // namespace zorvel
