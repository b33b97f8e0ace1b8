#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zorvel {

enum class TgaImageKind : std::uint32_t { None = 0, Rgb = 1, Rgba = 2, Grey = 3 };

// A Truevision TGA image in memory: true-colour (types 2 and 10) or grey (3 and 11),
// 8, 16, 24 or 32 bits per pixel, raw or run-length encoded. Rows stay in file order
// whatever the origin bits say. Pixel bytes: 8 bits grey; 16 bits as stored; 24 bits
// R, G, B; 32 bits R, G, B, A (the file's B and R are swapped for true colour).
//
// The decoder works on bytes in memory and never prints; load() reports only true or
// false, and every failure leaves the image reset.
class TgaImage {
 public:
  TgaImage() = default;
  virtual ~TgaImage() = default;

  // Reads and decodes the file. False when it cannot be opened or decoded.
  bool load(const std::string& fileName);
  // Decodes a whole TGA file held in memory; `size` bytes at `data`.
  bool decode(const std::uint8_t* data, std::size_t size);
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
  std::vector<std::uint8_t> pixels_;
  std::uint32_t bitsPerPixel_ = 0;
  std::uint32_t alphaBits_ = 0;
  std::uint32_t height_ = 0;
  std::uint32_t width_ = 0;
  TgaImageKind kind_ = TgaImageKind::None;
  bool loaded_ = false;
};

}  // namespace zorvel
