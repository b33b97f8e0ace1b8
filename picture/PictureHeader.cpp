#include "picture/PictureHeader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "picture/ByteOrder.h"

namespace zorvel {

namespace {

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

// A GIF file's blocks up to the end of its first picture's data, and on to its end to
// count the pictures it holds.
Result<PictureHeader> gifHeader(const std::uint8_t* data, std::size_t size) {
  if (size < 11) return headerEnds("a GIF picture");
  PictureHeader header{
      {littleEndian16(data + 6), littleEndian16(data + 8)}, cutShort("a GIF picture", "inside its first picture"), 0};
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
      at = codes < size ? subBlocks(codes + 1) : 0;
      if (at == 0) break;
      if (++header.pictures == 1) header.whole = {};
    } else {
      // The trailer, a block cut short, or one of no known kind.
      if (header.pictures == 0 && block != 0x3B && block != 0x21 && block != 0x2C)
        header.whole = failure(FailureKind::Malformed, "a damaged GIF picture: a block of unknown kind");
      break;
    }
  }
  if (header.pictures == 0 && at != 0 && at < size && data[at] == 0x3B)
    header.whole = failure(FailureKind::Malformed, "a damaged GIF picture: it holds no picture");
  header.pictures = std::max<std::uint32_t>(header.pictures, 1);
  return header;
}

// A WebP file's chunks: its size stands in its first (VP8, VP8L or VP8X); an animation
// (VP8X, then ANIM and ANMF chunks) is read as its first frame, which is whole when its
// chunk is.
Result<PictureHeader> webpChunks(const std::uint8_t* data, std::size_t size) {
  if (size < 30) return headerEnds("a WebP picture");
  const std::uint8_t* chunk = data + 12;
  const std::uint32_t length = littleEndian32(chunk + 4);
  const std::uint8_t* d = chunk + 8;
  const std::string type(reinterpret_cast<const char*>(chunk), 4);
  PictureHeader header;
  if (type == "VP8 ") {
    if (d[3] != 0x9D || d[4] != 0x01 || d[5] != 0x2A)
      return failure(FailureKind::Malformed, "a damaged WebP picture: its VP8 frame has no start code");
    header.size = {littleEndian16(d + 6) & 0x3FFFu, littleEndian16(d + 8) & 0x3FFFu};
  } else if (type == "VP8L") {
    if (d[0] != 0x2F) return failure(FailureKind::Malformed, "a damaged WebP picture: its VP8L data has no signature");
    const std::uint32_t bits = littleEndian32(d + 1);
    header.size = {(bits & 0x3FFFu) + 1, (bits >> 14 & 0x3FFFu) + 1};
  } else if (type == "VP8X") {
    header.size = {littleEndian24(d + 4) + 1, littleEndian24(d + 7) + 1};
  } else {
    return failure(FailureKind::Malformed, "a damaged WebP picture: it does not start with an image chunk");
  }
  if (size - 20 < length) {
    header.whole = cutShort("a WebP picture", "inside its " + type + " chunk");
    return header;
  }
  if (type != "VP8X") return header;
  // An extended file: its picture in a VP8 or VP8L chunk after others (ALPH, ICCP), or
  // an animation's frames, each an ANMF chunk.
  const bool animated = (d[0] & 0x02) != 0;
  header.pictures = 0;
  header.whole = cutShort("a WebP picture", animated ? "before its first frame" : "before its image data");
  for (std::size_t at = 20 + std::size_t{length} + (length & 1); at <= size && size - at >= 8;) {
    const std::uint64_t next = littleEndian32(data + at + 4);
    const bool frame = animated ? std::memcmp(data + at, "ANMF", 4) == 0
                                : std::memcmp(data + at, "VP8 ", 4) == 0 || std::memcmp(data + at, "VP8L", 4) == 0;
    if (size - at - 8 < next) {
      if (frame && header.pictures == 0)
        header.whole = cutShort("a WebP picture", animated ? "inside its first frame" : "inside its image data");
      break;
    }
    if (frame && header.pictures++ == 0) {
      header.firstFrame = animated ? at + 8 : 0;
      header.whole = !animated || next >= 24 ? Result<void>{}
                                             : failure(FailureKind::Malformed,
                                                       "a damaged WebP picture: a frame too short to hold a picture");
    }
    at += 8 + static_cast<std::size_t>(next) + (next & 1);
  }
  header.pictures = std::max<std::uint32_t>(header.pictures, 1);
  return header;
}

// A WebP file is whole when it holds all its RIFF header declares, its last chunk's
// padding too, and its picture's chunks are whole.
Result<PictureHeader> webpHeader(const std::uint8_t* data, std::size_t size) {
  Result<PictureHeader> header = webpChunks(data, size);
  if (header && header->whole && size - 8 < littleEndian32(data + 4))
    header->whole = cutShort("a WebP picture", "before the end its header declares");
  return header;
}

// A TIFF file's numbers, in the byte order its first bytes name; `size` is at least 8.
struct TiffBytes {
  const std::uint8_t* data;
  std::size_t size;
  bool little;
  std::uint32_t u16(std::size_t at) const { return little ? littleEndian16(data + at) : bigEndian16(data + at); }
  std::uint32_t u32(std::size_t at) const { return little ? littleEndian32(data + at) : bigEndian32(data + at); }
  // Whether a directory of entries lies at `at`, within the file.
  bool directoryAt(std::size_t at) const { return at <= size - 2 && (size - at - 2) / 12 >= u16(at); }
};

// The values of a directory entry of shorts or longs: where they stand (in the entry, or
// where it points) and how many.
struct TiffValues {
  std::size_t at = 0, count = 0;
  bool wide = false;
  bool within(const TiffBytes& t) const { return at <= t.size && (t.size - at) / (wide ? 4 : 2) >= count; }
  std::uint64_t operator()(const TiffBytes& t, std::size_t i) const {
    return wide ? t.u32(at + 4 * i) : t.u16(at + 2 * i);
  }
};

// The bytes a value of each type takes (1 for a type not known).
std::uint64_t tiffTypeBytes(std::uint32_t type) {
  switch (type) {
    case 3:
    case 8: return 2;
    case 4:
    case 9:
    case 11: return 4;
    case 5:
    case 10:
    case 12: return 8;
    default: return 1;
  }
}

// Whether the first directory at `directory` holds its picture whole: every entry's
// values, and the strips or tiles they say the pixels lie in, within the file. Its size
// goes into `header`.
Result<void> tiffDirectoryWhole(const TiffBytes& t, std::size_t directory, PictureHeader& header) {
  TiffValues offsets, counts;
  bool valuesWithin = true;
  for (std::size_t e = 0; e < t.u16(directory); ++e) {
    const std::size_t entry = directory + 2 + e * 12;
    const std::uint32_t tag = t.u16(entry), type = t.u16(entry + 2), count = t.u32(entry + 4);
    const std::uint64_t bytes = tiffTypeBytes(type) * count;
    if (bytes > 4 && (t.u32(entry + 8) > t.size || t.size - t.u32(entry + 8) < bytes)) valuesWithin = false;
    const TiffValues values{bytes <= 4 ? entry + 8 : t.u32(entry + 8), type == 3 || type == 4 ? count : 0u, type == 4};
    const std::uint32_t first = values.count == 0 ? 0 : values.wide ? t.u32(entry + 8) : t.u16(entry + 8);
    if (tag == 256) header.size.width = first;
    if (tag == 257) header.size.height = first;
    if (tag == 273 || tag == 324) offsets = values;
    if (tag == 279 || tag == 325) counts = values;
  }
  if (offsets.count == 0 || offsets.count != counts.count)
    return failure(FailureKind::Malformed, "a damaged TIFF picture: where its pixels lie is not told");
  if (!valuesWithin || !offsets.within(t) || !counts.within(t))
    return cutShort("a TIFF picture", "inside its directory");
  for (std::size_t i = 0; i < offsets.count; ++i)
    if (offsets(t, i) > t.size || t.size - offsets(t, i) < counts(t, i))
      return cutShort("a TIFF picture", "inside its pixels");
  return {};
}

// A TIFF file's directories (one a page): the first gives the size and where its strips
// or tiles lie, which must lie within the file; the others are counted, each directory
// pointing to the next (a loop or a pointer out of the file ends the count).
Result<PictureHeader> tiffHeader(const std::uint8_t* data, std::size_t size) {
  if (size < 8) return headerEnds("a TIFF picture");
  const TiffBytes t{data, size, data[0] == 'I'};
  std::size_t directory = t.u32(4);
  if (directory < 8)
    return failure(FailureKind::Malformed, "a damaged TIFF picture: its first directory lies in its header");
  if (!t.directoryAt(directory))
    return failure(FailureKind::CutShort, "cut short: a TIFF picture ends before its first directory");
  PictureHeader header;
  header.whole = tiffDirectoryWhole(t, directory, header);
  for (std::uint32_t pages = 1; pages < 65536; ++pages) {
    const std::size_t next = directory + 2 + std::size_t{t.u16(directory)} * 12;
    if (next > size - 4) break;
    const std::size_t following = t.u32(next);
    if (following <= directory || !t.directoryAt(following)) break;
    directory = following;
    header.pictures = pages + 1;
  }
  return header;
}

// A PNM file's header: its kind (P1 to P7), then whitespace-separated numbers (# starts
// a comment to the line's end), or for P7 (PAM) named lines up to ENDHDR. The binary
// kinds' pixels are counted against the file; the text kinds' the decoder reads.
Result<PictureHeader> pnmHeader(const std::uint8_t* data, std::size_t size) {
  const char kind = static_cast<char>(data[1]);
  std::size_t at = 2;
  const auto number = [&](std::uint64_t& value) {
    for (;;) {
      while (at < size && std::isspace(data[at])) ++at;
      if (at < size && data[at] == '#')
        while (at < size && data[at] != '\n') ++at;
      else
        break;
    }
    if (at >= size || !std::isdigit(data[at])) return false;
    for (value = 0; at < size && std::isdigit(data[at]) && value < (std::uint64_t{1} << 32); ++at)
      value = value * 10 + (data[at] - '0');
    return value < (std::uint64_t{1} << 32);
  };
  std::uint64_t width = 0, height = 0, maximum = 1, depth = kind == '6' || kind == '3' ? 3 : 1;
  if (kind == '7') {
    // Named lines: WIDTH, HEIGHT, DEPTH, MAXVAL (TUPLTYPE and others skipped).
    for (;;) {
      while (at < size && std::isspace(data[at])) ++at;
      std::string word;
      while (at < size && !std::isspace(data[at]) && word.size() < 16) word += static_cast<char>(data[at++]);
      if (at >= size) return headerEnds("a PNM picture");
      if (word == "ENDHDR") break;
      std::uint64_t* field = word == "WIDTH"    ? &width
                             : word == "HEIGHT" ? &height
                             : word == "DEPTH"  ? &depth
                             : word == "MAXVAL" ? &maximum
                                                : nullptr;
      if (field) {
        if (!number(*field))
          return at >= size ? headerEnds("a PNM picture")
                            : failure(FailureKind::Malformed, "a damaged PNM picture: " + word + " is no number");
      } else {
        while (at < size && data[at] != '\n') ++at;
      }
    }
    while (at < size && data[at] != '\n') ++at;
  } else {
    const bool bits = kind == '1' || kind == '4';
    if (!number(width) || !number(height) || (!bits && !number(maximum))) {
      if (at >= size) return headerEnds("a PNM picture");
      return failure(FailureKind::Malformed, "a damaged PNM picture: its header is not three numbers");
    }
  }
  ++at;  // the one whitespace byte before the pixels
  if (width > 0xFFFFFFFFu || height > 0xFFFFFFFFu || maximum == 0 || maximum > 65535 || depth == 0 || depth > 4)
    return failure(FailureKind::Malformed, "a damaged PNM picture: its header's numbers are out of range");
  PictureHeader header;
  header.size = {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
  if (kind >= '4') {
    const std::uint64_t rowBytes = kind == '4' ? (width + 7) / 8 : width * depth * (maximum > 255 ? 2 : 1);
    if (at > size || (size - at) / std::max<std::uint64_t>(rowBytes, 1) < height)
      header.whole = cutShort("a PNM picture", "inside its pixels");
  }
  return header;
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

Result<void> boxesWhole(PictureFormat format, const std::uint8_t* data, std::size_t size) {
  const std::string what = describePictureFormat(format);
  bool meta = false, media = false;
  for (std::size_t at = 0; at < size;) {
    if (size - at < 8) return failure(FailureKind::CutShort, "cut short: " + what + " ends inside a box's header");
    const std::string type(reinterpret_cast<const char*>(data + at + 4), 4);
    const bool named = std::all_of(type.begin(), type.end(), [](char c) { return std::isalnum(c) != 0 || c == ' '; });
    std::uint64_t length = bigEndian32(data + at);
    std::size_t header = 8;
    if (length == 1) {  // the length in 64 bits, after the type
      if (size - at < 16) return failure(FailureKind::CutShort, "cut short: " + what + " ends inside a box's header");
      length = std::uint64_t{bigEndian32(data + at + 8)} << 32 | bigEndian32(data + at + 12);
      header = 16;
    }
    meta = meta || type == "meta";
    media = media || type == "mdat";
    if (length == 0) break;  // the last box, to the file's end
    if (length < header)
      return failure(FailureKind::Malformed,
                     "a damaged " + std::string(pictureFormatName(format)) + " picture: a box shorter than its header");
    if (size - at < length)
      return failure(FailureKind::CutShort,
                     "cut short: " + what + " ends inside its " + (named ? type + " box" : "last box"));
    at += static_cast<std::size_t>(length);
  }
  // The description of its pictures, then their data.
  if (!meta || !media)
    return failure(FailureKind::CutShort,
                   "cut short: " + what + " ends before its " + (meta ? "mdat" : "meta") + " box");
  return {};
}

Result<PictureHeader> readPictureHeader(PictureFormat format, const std::uint8_t* data, std::size_t size) {
  switch (format) {
    case PictureFormat::Png: return pngHeader(data, size);
    case PictureFormat::Jpeg: return jpegHeader(data, size);
    case PictureFormat::Gif: return gifHeader(data, size);
    case PictureFormat::Bmp: return bmpHeader(data, size);
    case PictureFormat::WebP: return webpHeader(data, size);
    case PictureFormat::Tiff: return tiffHeader(data, size);
    case PictureFormat::Pnm: return pnmHeader(data, size);
    default: break;
  }
  return failure(FailureKind::Unsupported, "no picture format read here");
}

}  // namespace zorvel
