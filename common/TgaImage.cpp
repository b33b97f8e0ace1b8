#include "common/TgaImage.h"

#include <sys/stat.h>
#include <algorithm>
#include <cstring>

#include "common/PictureFormat.h"
#include "common/WholeFile.h"

namespace zorvel {

namespace {

// Sequential reads from bytes in memory. A read that asks for more than is left takes
// what there is and notes the short read; a load fails on any short read.
class MemoryReader {
 public:
  MemoryReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  void read(std::uint8_t* to, std::size_t n) {
    const std::size_t available = std::min<std::uint64_t>(n, remaining());
    if (to && available > 0) std::memcpy(to, data_ + pos_, available);
    pos_ += available;
    if (available < n) shortRead_ = true;
  }
  std::uint64_t remaining() const { return size_ - pos_; }
  bool shortRead() const { return shortRead_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
  bool shortRead_ = false;
};

// The same reads from an open file through a small buffer, so that walking a picture
// takes no memory in proportion to it.
class FileReader {
 public:
  explicit FileReader(std::FILE* file) : file_(file) {
    struct stat info {};
    if (fstat(fileno(file), &info) == 0 && info.st_size > 0) size_ = static_cast<std::uint64_t>(info.st_size);
  }

  void read(std::uint8_t* to, std::size_t n) {
    while (n > 0) {
      if (next_ == end_ && !refill()) {
        shortRead_ = true;
        return;
      }
      const std::size_t take = std::min(n, end_ - next_);
      if (to) {
        std::memcpy(to, buffer_ + next_, take);
        to += take;
      }
      next_ += take;
      consumed_ += take;
      n -= take;
    }
  }
  std::uint64_t remaining() const { return size_ > consumed_ ? size_ - consumed_ : 0; }
  bool shortRead() const { return shortRead_; }

 private:
  bool refill() {
    next_ = 0;
    end_ = std::fread(buffer_, 1, sizeof buffer_, file_);
    return end_ > 0;
  }

  std::FILE* file_;
  std::uint8_t buffer_[1 << 16];
  std::size_t next_ = 0, end_ = 0;
  std::uint64_t size_ = 0, consumed_ = 0;
  bool shortRead_ = false;
};

template <class Reader>
std::uint8_t readByte(Reader& reader) {
  std::uint8_t b = 0;
  reader.read(&b, 1);
  return b;
}

template <class Reader>
std::uint32_t readLittleEndian16(Reader& reader) {
  const std::uint32_t low = readByte(reader);
  return low | (std::uint32_t{readByte(reader)} << 8);
}

// Reads the header (leaving the reader at the pixel data) or says why the file is no
// TGA this reader takes.
template <class Reader>
Result<TgaInfo> readHeader(Reader& reader) {
  const auto unsupported = [](std::string reason) { return failure(FailureKind::Unsupported, std::move(reason)); };
  std::uint8_t head[18];
  reader.read(head, sizeof head);
  if (reader.shortRead()) return failure(FailureKind::CutShort, "cut short: not even a whole TGA header");

  TgaInfo info;
  const std::uint8_t idLength = head[0], colourMapType = head[1], imageType = head[2];
  if (colourMapType == 1 || imageType == 1 || imageType == 9)
    return unsupported("a colour-mapped TGA picture, which is not supported");
  switch (imageType) {
    case 2: info.kind = TgaImageKind::Rgb; break;
    case 10:
      info.kind = TgaImageKind::Rgb;
      info.runLength = true;
      break;
    case 3: info.kind = TgaImageKind::Grey; break;
    case 11:
      info.kind = TgaImageKind::Grey;
      info.runLength = true;
      break;
    case 0: return unsupported("a TGA file without a picture (image type 0)");
    default:
      return failure(FailureKind::WrongFormat,
                     "not a TGA file (its header names image type " + std::to_string(imageType) + ")");
  }
  info.width = head[12] | (std::uint32_t{head[13]} << 8);
  info.height = head[14] | (std::uint32_t{head[15]} << 8);
  info.bitsPerPixel = head[16];
  info.alphaBits = head[17] & 0x0Fu;
  if (info.bitsPerPixel != 8 && info.bitsPerPixel != 16 && info.bitsPerPixel != 24 && info.bitsPerPixel != 32)
    return unsupported("a TGA depth of " + std::to_string(info.bitsPerPixel) +
                       " bits per pixel, which is not supported (8, 16, 24 or 32 are)");
  if (info.alphaBits != 0 && info.alphaBits != 8)
    return unsupported(std::to_string(info.alphaBits) + " alpha bits, which are not supported (0 or 8 are)");
  if (info.kind == TgaImageKind::Rgb && info.bitsPerPixel == 32) info.kind = TgaImageKind::Rgba;

  reader.read(nullptr, idLength);
  if (reader.shortRead()) return failure(FailureKind::CutShort, "cut short: it ends inside its header");
  // An image without pixels is a 0 x 0 image.
  if (info.width == 0 || info.height == 0) info.width = info.height = 0;
  return info;
}

// Whether the rest of the file can hold the pixels `info` declares: raw data needs
// every byte; a run-length packet covers at most 128 pixels.
template <class Reader>
bool canHoldPixels(const Reader& reader, const TgaInfo& info) {
  const std::uint64_t bytesPerPixel = info.bitsPerPixel / 8;
  const std::uint64_t pixelCount = info.pixelCount();
  return reader.remaining() >=
         (info.runLength ? (pixelCount + 127) / 128 * (1 + bytesPerPixel) : pixelCount * bytesPerPixel);
}

// Walks the pixel data of `info`, storing the pixels at `out` unless it is null. Raw
// data must hold every byte; run-length packets are decoded until every pixel is
// there, pixels a packet claims beyond the image being read and dropped. Returns
// whether the data held every pixel.
template <class Reader>
bool walkPixels(Reader& reader, const TgaInfo& info, std::uint8_t* out) {
  const std::size_t bytesPerPixel = info.bitsPerPixel / 8;
  const std::uint64_t pixelCount = info.pixelCount();
  if (!canHoldPixels(reader, info)) return false;
  if (!info.runLength) {
    if (out) reader.read(out, pixelCount * bytesPerPixel);
    return !reader.shortRead();
  }
  std::uint8_t packet[128 * 4];  // one packet: at most 128 pixels of at most 4 bytes
  std::uint64_t filled = 0;
  while (filled < pixelCount && !reader.shortRead()) {
    const std::uint8_t header = readByte(reader);
    const std::size_t count = (header & 0x7Fu) + 1u;
    const std::size_t store = static_cast<std::size_t>(std::min<std::uint64_t>(count, pixelCount - filled));
    const bool run = header & 0x80u;
    reader.read(out ? packet : nullptr, (run ? 1 : count) * bytesPerPixel);
    if (out) {
      std::uint8_t* to = out + filled * bytesPerPixel;
      if (run)
        for (std::size_t i = 0; i < store; ++i) std::memcpy(to + i * bytesPerPixel, packet, bytesPerPixel);
      else
        std::memcpy(to, packet, store * bytesPerPixel);
    }
    filled += store;
  }
  return !reader.shortRead();
}

Failure cutShort() { return failure(FailureKind::CutShort, "cut short: its pixel data ends early"); }

// The first bytes of a file, to tell another picture format by.
std::size_t peek(std::FILE* file, std::uint8_t* start, std::size_t size) {
  const std::size_t got = std::fread(start, 1, size, file);
  std::rewind(file);
  return got;
}

// The header refused, or a file too short for its pixels: said in the reader's words.
template <class Reader>
Result<TgaInfo> readCheckedHeader(Reader& reader, const std::uint8_t* start, std::size_t startSize) {
  Result<TgaInfo> info = readHeader(reader);
  if (!info) {
    if (const char* other = describePictureFormat(pictureFormatOf(start, startSize)))
      return failure(FailureKind::WrongFormat, std::string("not a TGA file: it is ") + other);
    return info;
  }
  if (!canHoldPixels(reader, info.value())) return cutShort();
  return info;
}

// The pixels of `info` from the reader, which stands at the pixel data.
template <class Reader>
Result<TgaImage> decodePixels(Reader& reader, const TgaInfo& info, std::uint64_t maxPixels) {
  if (info.pixelCount() > maxPixels) {
    if (!walkPixels(reader, info, nullptr)) return cutShort();
    return failure(FailureKind::TooLarge, "has " + std::to_string(info.pixelCount()) + " pixels, more than the " +
                                              std::to_string(maxPixels) + " taken");
  }
  const std::size_t bytesPerPixel = info.bitsPerPixel / 8;
  TgaImage image{info, {}};
  image.pixels.resize(static_cast<std::size_t>(info.pixelCount() * bytesPerPixel));
  if (!walkPixels(reader, info, image.pixels.data())) return cutShort();
  if ((info.kind == TgaImageKind::Rgb || info.kind == TgaImageKind::Rgba) && bytesPerPixel >= 3)
    for (std::size_t i = 0; i < image.pixels.size(); i += bytesPerPixel)
      std::swap(image.pixels[i], image.pixels[i + 2]);
  return image;
}

}  // namespace

Result<TgaInfo> inspectTgaFile(const std::string& fileName) {
  Result<TgaFile> file = TgaFile::open(fileName);
  if (!file) return file.failure();
  // Room for no pixels: the data is walked and nothing is stored.
  const Result<TgaImage> walked = file->decode(0);
  if (!walked && walked.failure().kind != FailureKind::TooLarge) return walked.failure();
  return file->info();
}

Result<TgaInfo> readTgaHeader(const std::uint8_t* data, std::size_t size) {
  MemoryReader reader(data, size);
  return readHeader(reader);
}

Result<TgaInfo> inspectTga(const std::uint8_t* data, std::size_t size) {
  MemoryReader reader(data, size);
  Result<TgaInfo> info = readCheckedHeader(reader, data, size);
  if (info && !walkPixels(reader, info.value(), nullptr)) return cutShort();
  return info;
}

// The open file and the reader over it.
struct TgaFile::Source {
  explicit Source(FileHandle opened) : file(std::move(opened)), reader(file.get()) {}
  FileHandle file;
  FileReader reader;
};

TgaFile::TgaFile(std::unique_ptr<Source> source, const TgaInfo& info) : source_(std::move(source)), info_(info) {}
TgaFile::TgaFile(TgaFile&&) noexcept = default;
TgaFile& TgaFile::operator=(TgaFile&&) noexcept = default;
TgaFile::~TgaFile() = default;

Result<TgaFile> TgaFile::open(const std::string& fileName) {
  Result<FileHandle> file = openReadable(fileName);
  if (!file) return file.failure();
  std::uint8_t start[16];
  const std::size_t startSize = peek(file.value().get(), start, sizeof start);
  auto source = std::make_unique<Source>(std::move(file.value()));
  const Result<TgaInfo> info = readCheckedHeader(source->reader, start, startSize);
  if (!info) return info.failure();
  return TgaFile(std::move(source), info.value());
}

Result<TgaImage> TgaFile::decode(std::uint64_t maxPixels) { return decodePixels(source_->reader, info_, maxPixels); }

Result<TgaImage> readTgaFile(const std::string& fileName, std::uint64_t maxPixels) {
  Result<TgaFile> file = TgaFile::open(fileName);
  if (!file) return file.failure();
  return file->decode(maxPixels);
}

Result<TgaImage> decodeTga(const std::uint8_t* data, std::size_t size, std::uint64_t maxPixels) {
  MemoryReader reader(data, size);
  const Result<TgaInfo> info = readCheckedHeader(reader, data, size);
  if (!info) return info.failure();
  return decodePixels(reader, info.value(), maxPixels);
}

}  // namespace zorvel
