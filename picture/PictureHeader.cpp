#include "picture/PictureHeader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace zorvel {

namespace {

std::uint32_t bigEndian16(const std::uint8_t* p) { return std::uint32_t{p[0]} << 8 | p[1]; }
std::uint32_t bigEndian32(const std::uint8_t* p) { return bigEndian16(p) << 16 | bigEndian16(p + 2); }
std::uint32_t littleEndian16(const std::uint8_t* p) { return p[0] | std::uint32_t{p[1]} << 8; }
std::uint32_t littleEndian32(const std::uint8_t* p) { return littleEndian16(p) | littleEndian16(p + 2) << 16; }

Failure headerEnds(const char* what) {
  return failure(FailureKind::CutShort, std::string("cut short: ") + what + " ends inside its header");
}

Failure cutShort(const char* what, const std::string& where) {
  return failure(FailureKind::CutShort, std::string("cut short: ") + what + " ends " + where);
}

// A PNG file's chunks, from the signature to IEND.
Result<void> pngWhole(const std::uint8_t* data, std::size_t size) {
  for (std::size_t at = 8;;) {
    if (size - at < 8) return cutShort("a PNG picture", "before its last chunk");
    const std::uint64_t length = bigEndian32(data + at);
    const std::string type(reinterpret_cast<const char*>(data + at + 4), 4);
    const bool named = std::all_of(type.begin(), type.end(), [](char c) { return std::isalpha(c) != 0; });
    if (size - at - 8 < length + 4)
      return cutShort("a PNG picture", named ? "inside its " + type + " chunk" : "inside a chunk");
    if (type == "IEND") return {};
    at += 12 + static_cast<std::size_t>(length);
  }
}

Result<PictureHeader> pngHeader(const std::uint8_t* data, std::size_t size) {
  if (size < 24) return headerEnds("a PNG picture");
  if (std::memcmp(data + 12, "IHDR", 4) != 0)
    return failure(FailureKind::Malformed, "a damaged PNG picture: it does not start with its header chunk");
  return PictureHeader{{bigEndian32(data + 16), bigEndian32(data + 20)}, pngWhole(data, size)};
}

// Markers that stand alone, without a segment length: the start of the image, TEM and
// the restart markers.
bool standsAlone(std::uint8_t marker) { return marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7); }

// Whether a JPEG file's end-of-image marker comes after the start of its scan, walking
// its segments from `at`, just after the start-of-frame segment's marker: the scan's
// own bytes never hold it (a 0xFF there is followed by 0 or a restart number), and a
// thumbnail's comes before the scan.
Result<void> jpegWholeFrom(const std::uint8_t* data, std::size_t size, std::size_t at) {
  for (bool frame = true;; frame = false) {
    if (!frame) {
      while (at < size && data[at] == 0xFF) ++at;
      if (at + 3 > size) return cutShort("a JPEG picture", "before its image data");
      const std::uint8_t marker = data[at++];
      if (standsAlone(marker)) continue;
      if (marker == 0xDA) break;
      if (marker == 0xD9) return failure(FailureKind::Malformed, "a damaged JPEG picture: no image data");
    }
    const std::size_t length = bigEndian16(data + at);
    if (length < 2) return failure(FailureKind::Malformed, "a damaged JPEG picture: no image data");
    at += length;
  }
  for (; at + 1 < size; ++at)
    if (data[at] == 0xFF && data[at + 1] == 0xD9) return {};
  return cutShort("a JPEG picture", "inside its image data");
}

// A JPEG file's size stands in its start-of-frame segment, after any others: the
// segments are walked by their lengths until one is found, and on to the scan.
Result<PictureHeader> jpegHeader(const std::uint8_t* data, std::size_t size) {
  std::size_t at = 2;
  for (;;) {
    while (at < size && data[at] == 0xFF) ++at;  // a marker, and any fill bytes before it
    if (at + 1 > size) return headerEnds("a JPEG picture");
    const std::uint8_t marker = data[at++];
    if (standsAlone(marker)) continue;
    if (marker == 0xD9 || marker == 0xDA)
      return failure(FailureKind::Malformed, "a damaged JPEG picture: its image data comes before its size");
    if (at + 2 > size) return headerEnds("a JPEG picture");
    const bool startOfFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (startOfFrame) {
      if (at + 7 > size) return headerEnds("a JPEG picture");
      return PictureHeader{{bigEndian16(data + at + 5), bigEndian16(data + at + 3)}, jpegWholeFrom(data, size, at)};
    }
    const std::size_t length = bigEndian16(data + at);
    if (length < 2) return failure(FailureKind::Malformed, "a damaged JPEG picture: a segment of no length");
    at += length;
  }
}

// A GIF file's blocks up to the end of its first picture's data.
Result<void> gifWhole(const std::uint8_t* data, std::size_t size) {
  const auto colourTable = [](std::uint8_t packed) -> std::size_t {
    return packed & 0x80 ? 3u << ((packed & 7) + 1) : 0;
  };
  // Data sub-blocks from `at` to the empty one that ends them; the end, or 0 when cut.
  const auto subBlocks = [&](std::size_t at) -> std::size_t {
    while (at < size && data[at] != 0) at += 1 + data[at];
    return at < size ? at + 1 : 0;
  };
  std::size_t at = 13 + colourTable(data[10]);
  while (at != 0 && at < size) {
    const std::uint8_t block = data[at];
    if (block == 0x21 && at + 2 <= size) {
      at = subBlocks(at + 2);
    } else if (block == 0x2C && at + 10 <= size) {
      const std::size_t codes = at + 10 + colourTable(data[at + 9]);
      if (codes < size && subBlocks(codes + 1) != 0) return {};
      break;
    } else if (block == 0x3B) {
      return failure(FailureKind::Malformed, "a damaged GIF picture: it holds no picture");
    } else if (block != 0x21 && block != 0x2C) {
      return failure(FailureKind::Malformed, "a damaged GIF picture: a block of unknown kind");
    } else {
      break;
    }
  }
  return cutShort("a GIF picture", "inside its first picture");
}

Result<PictureHeader> gifHeader(const std::uint8_t* data, std::size_t size) {
  if (size < 11) return headerEnds("a GIF picture");
  return PictureHeader{{littleEndian16(data + 6), littleEndian16(data + 8)}, gifWhole(data, size)};
}

// The decoder itself says when a BMP file is cut.
Result<PictureHeader> bmpHeader(const std::uint8_t* data, std::size_t size) {
  if (size < 26) return headerEnds("a BMP picture");
  if (littleEndian32(data + 14) == 12) return PictureHeader{{littleEndian16(data + 18), littleEndian16(data + 20)}, {}};
  // The height is negative for a picture stored top row first.
  const std::int32_t height = static_cast<std::int32_t>(littleEndian32(data + 22));
  const std::uint32_t rows = height < 0 ? 0u - static_cast<std::uint32_t>(height) : static_cast<std::uint32_t>(height);
  return PictureHeader{{littleEndian32(data + 18), rows}, {}};
}

}  // namespace

Result<PictureHeader> readPictureHeader(PictureFormat format, const std::uint8_t* data, std::size_t size) {
  switch (format) {
    case PictureFormat::Png: return pngHeader(data, size);
    case PictureFormat::Jpeg: return jpegHeader(data, size);
    case PictureFormat::Gif: return gifHeader(data, size);
    case PictureFormat::Bmp: return bmpHeader(data, size);
    default: break;
  }
  return failure(FailureKind::Unsupported, "no picture format read here");
}

}  // namespace zorvel
