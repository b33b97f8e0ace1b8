#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
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

// A Truevision TGA image in memory: true-colour (types 2 and 10) or grey (3 and 11),
// 8, 16, 24 or 32 bits per pixel, raw or run-length encoded. Rows stay in file order
// whatever the origin bits say. Pixel bytes: 8 bits grey; 16 bits as stored; 24 bits
// R, G, B; 32 bits R, G, B, A (the file's B and R are swapped for true colour).
//
// The decoder never prints; load() reports only true or false, and every failure
// leaves the image reset.
class TgaImage {
 public:
  static constexpr std::uint64_t kAnySize = std::numeric_limits<std::uint64_t>::max();

  TgaImage() = default;
  virtual ~TgaImage() = default;

  // Reads and decodes the file. False when it cannot be opened or decoded, or declares
  // more than `maxPixels` pixels (checked before anything is allocated for them).
  bool load(const std::string& fileName, std::uint64_t maxPixels = kAnySize);
  // Decodes a whole TGA file held in memory; `size` bytes at `data`.
  bool decode(const std::uint8_t* data, std::size_t size, std::uint64_t maxPixels = kAnySize);
  // Frees the pixels and sets every field back to zero, `loaded` to false.
  void reset();

  std::uint32_t width() const { return width_; }
  std::uint32_t height() const { return height_; }
  std::uint32_t bitsPerPixel() const { return bitsPerPixel_; }
  std::uint32_t alphaBits() const { return alphaBits_; }
  TgaImageKind kind() const { return kind_; }
  bool loaded() const { return loaded_; }
  // width x height x bitsPerPixel / 8 bytes, or null when no image is held.
  const std::uint8_t* pixels() const { return pixels_.empty() ? nullptr : pixels_.data(); }
  std::size_t pixelBytes() const { return pixels_.size(); }

 private:
  template <class Reader>
  bool decodeFrom(Reader& reader, std::uint64_t maxPixels);

  std::vector<std::uint8_t> pixels_;
  std::uint32_t bitsPerPixel_ = 0;
  std::uint32_t alphaBits_ = 0;
  std::uint32_t height_ = 0;
  std::uint32_t width_ = 0;
  TgaImageKind kind_ = TgaImageKind::None;
  bool loaded_ = false;
};

}  // namespace zorvel
