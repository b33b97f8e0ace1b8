#include "TgaImage.h"

#include <algorithm>
#include <cstring>

#include "WholeFile.h"

namespace zorvel {

namespace {

// Sequential reads from a byte buffer. A read that asks for more than is left copies
// what there is and notes the short read; the load fails on any short read.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  void read(std::uint8_t* to, std::size_t n) {
    const std::size_t available = std::min(n, remaining());
    if (available > 0) std::memcpy(to, data_ + pos_, available);
    pos_ += available;
    if (available < n) shortRead_ = true;
  }
  std::uint8_t byte() {
    std::uint8_t b = 0;
    read(&b, 1);
    return b;
  }
  std::uint32_t littleEndian16() {
    const std::uint32_t low = byte();
    return low | (std::uint32_t{byte()} << 8);
  }
  void skip(std::size_t n) {
    const std::size_t available = std::min(n, remaining());
    pos_ += available;
    if (available < n) shortRead_ = true;
  }
  std::size_t remaining() const { return size_ - pos_; }
  bool shortRead() const { return shortRead_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  bool shortRead_ = false;
};

// Decodes run-length packets until `pixelCount` pixels of `bytesPerPixel` bytes are
// stored in `out`. Pixels that a packet claims beyond the image are read but dropped.
void decodeRunLength(ByteReader& reader, std::uint8_t* out, std::size_t pixelCount, std::size_t bytesPerPixel) {
  std::uint8_t packet[1000];  // one packet: at most 128 pixels of at most 4 bytes
  std::size_t filled = 0;
  while (filled < pixelCount && !reader.shortRead()) {
    const std::uint8_t header = reader.byte();
    const std::size_t count = (header & 0x7Fu) + 1u;
    const std::size_t store = std::min(count, pixelCount - filled);
    std::uint8_t* to = out + filled * bytesPerPixel;
    if (header & 0x80u) {
      reader.read(packet, bytesPerPixel);
      for (std::size_t i = 0; i < store; ++i) std::memcpy(to + i * bytesPerPixel, packet, bytesPerPixel);
    } else {
      reader.read(packet, count * bytesPerPixel);
      std::memcpy(to, packet, store * bytesPerPixel);
    }
    filled += store;
  }
}

}  // namespace

void TgaImage::reset() {
  std::vector<std::uint8_t>().swap(pixels_);
  bitsPerPixel_ = alphaBits_ = height_ = width_ = 0;
  kind_ = TgaImageKind::None;
  loaded_ = false;
}

bool TgaImage::load(const std::string& fileName) {
  reset();
  const std::optional<FileText> bytes = readWholeFile(fileName);
  if (!bytes) return false;
  const std::string_view view = bytes->view();
  return decode(reinterpret_cast<const std::uint8_t*>(view.data()), view.size());
}

bool TgaImage::decode(const std::uint8_t* data, std::size_t size) {
  reset();
  ByteReader reader(data, size);
  const auto fail = [this] {
    reset();
    return false;
  };

  const std::size_t idLength = reader.byte();
  const std::uint8_t colourMapType = reader.byte();
  const std::uint8_t imageType = reader.byte();
  if (colourMapType == 1) return fail();

  bool trueColour = false;
  bool runLength = false;
  switch (imageType) {
    case 2: trueColour = true; break;
    case 10: trueColour = runLength = true; break;
    case 3: kind_ = TgaImageKind::Grey; break;
    case 11: kind_ = TgaImageKind::Grey; runLength = true; break;
    default: return fail();
  }

  reader.skip(5);  // colour-map fields
  reader.skip(4);  // x and y origin
  width_ = reader.littleEndian16();
  height_ = reader.littleEndian16();
  bitsPerPixel_ = reader.byte();
  if (bitsPerPixel_ != 8 && bitsPerPixel_ != 16 && bitsPerPixel_ != 24 && bitsPerPixel_ != 32) return fail();
  const std::uint8_t descriptor = reader.byte();
  alphaBits_ = descriptor & 0x0Fu;
  if (alphaBits_ != 0 && alphaBits_ != 8) return fail();
  if (trueColour) kind_ = bitsPerPixel_ == 32 ? TgaImageKind::Rgba : TgaImageKind::Rgb;

  reader.skip(idLength);
  if (reader.shortRead()) return fail();

  // An image without pixels is a 0 x 0 image.
  if (width_ == 0 || height_ == 0) width_ = height_ = 0;

  // Check what the header asks for against what the file can hold before allocating:
  // raw data needs every byte; a run-length packet covers at most 128 pixels.
  const std::size_t bytesPerPixel = bitsPerPixel_ / 8;
  const std::size_t pixelCount = std::size_t{width_} * height_;  // at most 2^32 - 2^17 + 1
  const std::size_t bufferBytes = pixelCount * bytesPerPixel;
  const std::size_t leastBytes = runLength ? (pixelCount + 127) / 128 * (1 + bytesPerPixel) : bufferBytes;
  if (reader.remaining() < leastBytes) return fail();

  pixels_.resize(bufferBytes);
  if (runLength)
    decodeRunLength(reader, pixels_.data(), pixelCount, bytesPerPixel);
  else
    reader.read(pixels_.data(), bufferBytes);
  if (reader.shortRead()) return fail();

  loaded_ = true;
  if ((kind_ == TgaImageKind::Rgb || kind_ == TgaImageKind::Rgba) && bytesPerPixel >= 3)
    for (std::size_t i = 0; i < bufferBytes; i += bytesPerPixel) std::swap(pixels_[i], pixels_[i + 2]);
  return true;
}

}  // namespace zorvel
