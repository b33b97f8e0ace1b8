#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "common/Result.h"

namespace zorvel {

enum class TgaImageKind : std::uint32_t { None = 0, Rgb = 1, Rgba = 2, Grey = 3 };

// What a loadable TGA file declares in its header.
struct TgaInfo {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::uint32_t bitsPerPixel = 0;
  std::uint32_t alphaBits = 0;
  TgaImageKind kind = TgaImageKind::None;
  bool runLength = false;

  std::uint64_t pixelCount() const { return std::uint64_t{width} * height; }
};

// Reads a TGA file's header and walks its pixel data without storing any: the header's
// fields when the file would load (its data holds every pixel it declares), or why it
// would not, in plain words. Takes memory of its own bounded by a small buffer, however
// large the picture the header declares. A folder, a device or a pipe is no file here.
Result<TgaInfo> inspectTgaFile(const std::string& fileName);
// The same on a whole file held in memory; `size` bytes at `data`.
Result<TgaInfo> inspectTga(const std::uint8_t* data, std::size_t size);

// The header at the start of a TGA file, the `size` bytes at `data` (the whole file, or
// as much of its start as there is): what it declares, or why it is no header this
// reader takes (CutShort where the bytes end inside it). The pixel data is not looked
// at.
Result<TgaInfo> readTgaHeader(const std::uint8_t* data, std::size_t size);

// A Truevision TGA picture decoded: what its header declares, and its pixels. True
// colour (types 2 and 10) or grey (3 and 11), 8, 16, 24 or 32 bits per pixel, raw or
// run-length encoded. Rows stay in file order whatever the origin bits say. Pixel
// bytes, info.pixelCount() x bitsPerPixel / 8 of them: 8 bits grey; 16 bits as stored;
// 24 bits R, G, B; 32 bits R, G, B, A (the file's B and R are swapped for true colour).
struct TgaImage {
  TgaInfo info;
  std::vector<std::uint8_t> pixels;
};

// No limit on the pixel count beyond what the file holds.
constexpr std::uint64_t kAnyPixelCount = std::numeric_limits<std::uint64_t>::max();

// A TGA file open for reading, its header read and checked, its pixel data not yet
// decoded; for a caller that looks at the header (to describe or refuse the picture)
// before the pixels. Owns the open file; movable, not copyable.
class TgaFile {
 public:
  // Opens `fileName` (a plain file only) and reads its header: the file when it is a
  // TGA picture this reader takes and long enough for the pixels it declares, or why
  // not.
  static Result<TgaFile> open(const std::string& fileName);
  TgaFile(TgaFile&&) noexcept;
  TgaFile& operator=(TgaFile&&) noexcept;
  ~TgaFile();

  const TgaInfo& info() const { return info_; }

  // Decodes the pixel data; call once. More than `maxPixels` pixels are refused
  // (TooLarge) without allocating anything for them, once the data has been walked: a
  // file whose data ends early says so (CutShort) whatever its size.
  Result<TgaImage> decode(std::uint64_t maxPixels = kAnyPixelCount);

 private:
  struct Source;
  TgaFile(std::unique_ptr<Source> source, const TgaInfo& info);

  std::unique_ptr<Source> source_;
  TgaInfo info_;
};

// Opens, checks against `maxPixels` and decodes in one call: the picture, or why not.
Result<TgaImage> readTgaFile(const std::string& fileName, std::uint64_t maxPixels = kAnyPixelCount);
// The same on a whole file held in memory; `size` bytes at `data`.
Result<TgaImage> decodeTga(const std::uint8_t* data, std::size_t size, std::uint64_t maxPixels = kAnyPixelCount);

}  // namespace zorvel
