#include "recorder/PictureReading.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/version.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/version.h>
#include <libswscale/swscale.h>
#include <libswscale/version.h>
}

#include "common/MemoryBudget.h"
#include "common/PictureFormat.h"
#include "common/WholeFile.h"

namespace zorvel {

namespace {

// ---- The ffmpeg libraries, loaded when the first picture of their formats is read:
// they bring some ninety libraries of their own and some 15 MB of memory, which a
// recording of path files or of a TGA picture need not carry.

// clang-format off
#define ZORVEL_FFMPEG_FUNCTIONS(F)                                                             \
  F(codec, avcodec_find_decoder) F(codec, avcodec_alloc_context3) F(codec, avcodec_open2)     \
  F(codec, avcodec_free_context) F(codec, avcodec_send_packet) F(codec, avcodec_receive_frame) \
  F(codec, av_packet_alloc) F(codec, av_packet_free)                                           \
  F(util, av_frame_alloc) F(util, av_frame_free) F(util, av_dict_get) F(util, av_log_set_callback) \
  F(scale, sws_getContext) F(scale, sws_freeContext) F(scale, sws_scale)                       \
  F(scale, sws_getColorspaceDetails) F(scale, sws_setColorspaceDetails)
// clang-format on

struct Ffmpeg {
// A declaration's name takes no parentheses.
#define ZORVEL_FFMPEG_MEMBER(library, name) decltype(&::name) name = nullptr;  // NOLINT(bugprone-macro-parentheses)
  ZORVEL_FFMPEG_FUNCTIONS(ZORVEL_FFMPEG_MEMBER)
#undef ZORVEL_FFMPEG_MEMBER
};

#define ZORVEL_TEXT(x) #x
#define ZORVEL_SONAME(name, major) "lib" name ".so." ZORVEL_TEXT(major)

// The libraries' functions, or why they cannot be had (the versions built against,
// as the file names of the libraries).
const Result<Ffmpeg>& ffmpegLibraries() {
  static const Result<Ffmpeg> loaded = []() -> Result<Ffmpeg> {
    const char* const names[] = {ZORVEL_SONAME("avutil", LIBAVUTIL_VERSION_MAJOR),
                                 ZORVEL_SONAME("avcodec", LIBAVCODEC_VERSION_MAJOR),
                                 ZORVEL_SONAME("swscale", LIBSWSCALE_VERSION_MAJOR)};
    void* handles[3];
    for (int i = 0; i < 3; ++i)
      if (!(handles[i] = dlopen(names[i], RTLD_NOW | RTLD_LOCAL)))
        return failure(FailureKind::ToolMissing, std::string("cannot be decoded without the ffmpeg libraries (") +
                                                     names[i] + "); Debian: apt-get install ffmpeg");
    void* const util = handles[0];
    void* const codec = handles[1];
    void* const scale = handles[2];
    Ffmpeg functions;
    bool found = true;
#define ZORVEL_FFMPEG_FIND(library, name)                                      \
  functions.name = reinterpret_cast<decltype(&::name)>(dlsym(library, #name)); \
  found = found && functions.name != nullptr;
    ZORVEL_FFMPEG_FUNCTIONS(ZORVEL_FFMPEG_FIND)
#undef ZORVEL_FFMPEG_FIND
    if (!found) return failure(FailureKind::ToolMissing, "cannot be decoded: the ffmpeg libraries lack a function");
    return functions;
  }();
  return loaded;
}

// The libraries, once ffmpegLibraries() has found them.
const Ffmpeg& av() { return ffmpegLibraries().value(); }

// ---- What the ffmpeg libraries say: kept, never printed; the last error says why a
// decoding failed.

std::mutex gMessageMutex;
std::string gLastError;

void keepMessage(void*, int level, const char* format, va_list arguments) {
  if (level > AV_LOG_ERROR) return;
  char line[512];
  std::vsnprintf(line, sizeof line, format, arguments);
  std::string text(line);
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  std::lock_guard<std::mutex> lock(gMessageMutex);
  gLastError = text;
}

void listenToTheLibraries() {
  static std::once_flag once;
  std::call_once(once, [] { av().av_log_set_callback(keepMessage); });
  std::lock_guard<std::mutex> lock(gMessageMutex);
  gLastError.clear();
}

std::string lastLibraryError() {
  std::lock_guard<std::mutex> lock(gMessageMutex);
  return gLastError;
}

// ---- The size a picture's header declares, read before any pixel is decoded.

std::uint32_t bigEndian16(const std::uint8_t* p) { return std::uint32_t{p[0]} << 8 | p[1]; }
std::uint32_t bigEndian32(const std::uint8_t* p) { return bigEndian16(p) << 16 | bigEndian16(p + 2); }
std::uint32_t littleEndian16(const std::uint8_t* p) { return p[0] | std::uint32_t{p[1]} << 8; }
std::uint32_t littleEndian32(const std::uint8_t* p) { return littleEndian16(p) | littleEndian16(p + 2) << 16; }

Failure headerEnds(const char* what) {
  return failure(FailureKind::CutShort, std::string("cut short: ") + what + " ends inside its header");
}

// A JPEG file's size stands in its start-of-frame segment, after any others: the
// segments are walked by their lengths until one is found.
Result<PictureSize> jpegSize(const std::uint8_t* data, std::size_t size) {
  std::size_t at = 2;
  for (;;) {
    while (at < size && data[at] == 0xFF) ++at;  // a marker, and any fill bytes before it
    if (at + 1 > size) return headerEnds("a JPEG picture");
    const std::uint8_t marker = data[at++];
    if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;  // no length
    if (marker == 0xD9 || marker == 0xDA)
      return failure(FailureKind::Malformed, "a damaged JPEG picture: its image data comes before its size");
    if (at + 2 > size) return headerEnds("a JPEG picture");
    const std::size_t length = bigEndian16(data + at);
    const bool startOfFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (startOfFrame) {
      if (at + 7 > size) return headerEnds("a JPEG picture");
      return PictureSize{bigEndian16(data + at + 5), bigEndian16(data + at + 3)};
    }
    if (length < 2) return failure(FailureKind::Malformed, "a damaged JPEG picture: a segment of no length");
    at += length;
  }
}

Result<PictureSize> declaredSize(PictureFormat format, const std::uint8_t* data, std::size_t size) {
  switch (format) {
    case PictureFormat::Png:
      if (size < 24) return headerEnds("a PNG picture");
      if (std::memcmp(data + 12, "IHDR", 4) != 0)
        return failure(FailureKind::Malformed, "a damaged PNG picture: it does not start with its header chunk");
      return PictureSize{bigEndian32(data + 16), bigEndian32(data + 20)};
    case PictureFormat::Gif:
      if (size < 10) return headerEnds("a GIF picture");
      return PictureSize{littleEndian16(data + 6), littleEndian16(data + 8)};
    case PictureFormat::Bmp: {
      if (size < 26) return headerEnds("a BMP picture");
      if (littleEndian32(data + 14) == 12) return PictureSize{littleEndian16(data + 18), littleEndian16(data + 20)};
      // The height is negative for a picture stored top row first.
      const std::int32_t height = static_cast<std::int32_t>(littleEndian32(data + 22));
      const std::uint32_t rows =
          height < 0 ? 0u - static_cast<std::uint32_t>(height) : static_cast<std::uint32_t>(height);
      return PictureSize{littleEndian32(data + 18), rows};
    }
    case PictureFormat::Jpeg: return jpegSize(data, size);
    default: break;
  }
  return failure(FailureKind::Unsupported, "no picture format read here");
}

// ---- Whether the file holds its picture whole: a decoder may make a picture of what a
// cut file holds, grey where the rest would be. The containers are walked by their
// lengths to where the (first) picture ends; no pixel is decoded here.

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

// A JPEG file's end-of-image marker after the start of its scan: the scan's own bytes
// never hold it (a 0xFF there is followed by 0 or a restart number), and a thumbnail's
// comes before the scan.
Result<void> jpegWhole(const std::uint8_t* data, std::size_t size) {
  std::size_t at = 2;
  for (;;) {
    while (at < size && data[at] == 0xFF) ++at;
    if (at + 3 > size) return cutShort("a JPEG picture", "before its image data");
    const std::uint8_t marker = data[at++];
    if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;
    const std::size_t length = bigEndian16(data + at);
    if (marker == 0xDA) break;
    if (marker == 0xD9 || length < 2) return failure(FailureKind::Malformed, "a damaged JPEG picture: no image data");
    at += length;
  }
  for (; at + 1 < size; ++at)
    if (data[at] == 0xFF && data[at + 1] == 0xD9) return {};
  return cutShort("a JPEG picture", "inside its image data");
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

Result<void> holdsItWhole(PictureFormat format, const std::uint8_t* data, std::size_t size) {
  switch (format) {
    case PictureFormat::Png: return pngWhole(data, size);
    case PictureFormat::Jpeg: return jpegWhole(data, size);
    case PictureFormat::Gif: return gifWhole(data, size);
    default: return {};  // the decoder itself says when a BMP file is cut
  }
}

// ---- Decoding.

// The pixels a decoder may allocate for a picture of `size`: its rows and columns
// padded to whole blocks and aligned.
std::uint64_t paddedPixels(PictureSize size) {
  return (std::uint64_t{size.width} + 128) * (std::uint64_t{size.height} + 128);
}

struct FrameFree {
  void operator()(AVFrame* frame) const { av().av_frame_free(&frame); }
};
using FramePointer = std::unique_ptr<AVFrame, FrameFree>;

struct PacketFree {
  void operator()(AVPacket* packet) const { av().av_packet_free(&packet); }
};

struct DecoderFree {
  void operator()(AVCodecContext* context) const { av().avcodec_free_context(&context); }
};

AVCodecID decoderFor(PictureFormat format) {
  switch (format) {
    case PictureFormat::Png: return AV_CODEC_ID_PNG;
    case PictureFormat::Jpeg: return AV_CODEC_ID_MJPEG;
    case PictureFormat::Gif: return AV_CODEC_ID_GIF;
    case PictureFormat::Bmp: return AV_CODEC_ID_BMP;
    default: return AV_CODEC_ID_NONE;
  }
}

// The first picture the whole file holds, decoded as it is stored, by a decoder that
// may not take a picture larger than `declared`. `data` has AV_INPUT_BUFFER_PADDING_SIZE
// zero bytes after its `size`.
Result<FramePointer> decodeFrame(PictureFormat format, const std::uint8_t* data, std::size_t size,
                                 PictureSize declared) {
  const char* what = describePictureFormat(format);
  const AVCodec* codec = av().avcodec_find_decoder(decoderFor(format));
  if (!codec) return failure(FailureKind::Unsupported, std::string(what) + ", which this build cannot decode");
  std::unique_ptr<AVCodecContext, DecoderFree> decoder(av().avcodec_alloc_context3(codec));
  if (!decoder) throw std::bad_alloc();
  // Room for the padding a decoder gives its rows and its blocks, no more.
  decoder->max_pixels = static_cast<std::int64_t>(paddedPixels(declared));
  decoder->thread_count = 1;
  listenToTheLibraries();
  const auto damaged = [&] {
    const std::string says = lastLibraryError();
    return failure(FailureKind::Malformed,
                   std::string("a damaged ") + (what + 2) + (says.empty() ? "" : " (the decoder says: " + says + ")"));
  };
  if (av().avcodec_open2(decoder.get(), codec, nullptr) < 0) return damaged();
  std::unique_ptr<AVPacket, PacketFree> packet(av().av_packet_alloc());
  FramePointer frame(av().av_frame_alloc());
  if (!packet || !frame) throw std::bad_alloc();
  // The file's bytes, not copied: the packet does not own them.
  packet->data = const_cast<std::uint8_t*>(data);
  packet->size = static_cast<int>(size);
  packet->flags = AV_PKT_FLAG_KEY;
  if (av().avcodec_send_packet(decoder.get(), packet.get()) < 0) return damaged();
  int received = av().avcodec_receive_frame(decoder.get(), frame.get());
  if (received == AVERROR(EAGAIN)) {
    av().avcodec_send_packet(decoder.get(), nullptr);
    received = av().avcodec_receive_frame(decoder.get(), frame.get());
  }
  if (received < 0 || frame->width <= 0 || frame->height <= 0) return damaged();
  return frame;
}

// The orientation a photo's tag gives (1 to 8, as the tag numbers them; 1 upright).
int orientationOf(const AVFrame& frame) {
  const AVDictionaryEntry* tag = av().av_dict_get(frame.metadata, "Orientation", nullptr, 0);
  if (!tag) return 1;
  const int value = std::atoi(tag->value);
  return value >= 1 && value <= 8 ? value : 1;
}

// The resampler's vector code reads a little past the last byte of a picture it is
// given (up to 32 bytes of a tightly packed RGBA picture, seen on this machine's
// libswscale): every picture handed to it has this many more bytes after its pixels.
// The decoders' frames have them already.
constexpr std::size_t kScalerPadding = AV_INPUT_BUFFER_PADDING_SIZE;

struct ScalerFree {
  void operator()(SwsContext* context) const { av().sws_freeContext(context); }
};
using Scaler = std::unique_ptr<SwsContext, ScalerFree>;

// A scaler from `width` x `height` of `format` to RGBA of `to`: Lanczos where it
// shrinks; grey and YUV taken at full range where the picture says so.
Scaler scalerFor(int width, int height, AVPixelFormat format, AVColorRange range, PictureSize to) {
  const bool same = static_cast<std::uint32_t>(width) == to.width && static_cast<std::uint32_t>(height) == to.height;
  const int flags = (same ? SWS_BILINEAR : SWS_LANCZOS) | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT | SWS_FULL_CHR_H_INP;
  Scaler scaler(av().sws_getContext(width, height, format, static_cast<int>(to.width), static_cast<int>(to.height),
                                    AV_PIX_FMT_RGBA, flags, nullptr, nullptr, nullptr));
  if (scaler && range == AVCOL_RANGE_JPEG) {
    int *inverse = nullptr, *table = nullptr;
    int sourceRange = 0, targetRange = 0, brightness = 0, contrast = 0, saturation = 0;
    av().sws_getColorspaceDetails(scaler.get(), &inverse, &sourceRange, &table, &targetRange, &brightness, &contrast,
                                  &saturation);
    av().sws_setColorspaceDetails(scaler.get(), inverse, 1, table, targetRange, brightness, contrast, saturation);
  }
  return scaler;
}

// Scales `planes` (a picture of `width` x `height` in `format`, kScalerPadding bytes
// readable after its last pixel) to RGBA of `to`, top row first as stored: 4 bytes a
// pixel at `out`.
bool scaleToRgba(const std::uint8_t* const planes[], const int strides[], int width, int height, AVPixelFormat format,
                 AVColorRange range, PictureSize to, std::uint8_t* out) {
  const Scaler scaler = scalerFor(width, height, format, range, to);
  if (!scaler) return false;
  std::uint8_t* target[4] = {out, nullptr, nullptr, nullptr};
  const int targetStride[4] = {static_cast<int>(to.width) * 4, 0, 0, 0};
  return av().sws_scale(scaler.get(), planes, strides, 0, height, target, targetStride) == static_cast<int>(to.height);
}

// The pixels of `stored` (top row first, `size` as stored) upright for `orientation`,
// bottom row first: pixel (x, y) of the upright picture, y counted from its top, is the
// stored pixel the tag names for it.
std::vector<std::uint8_t> upright(const std::vector<std::uint8_t>& stored, PictureSize size, int orientation,
                                  PictureSize& shown) {
  const std::uint32_t w = size.width, h = size.height;
  const bool turned = orientation >= 5;
  shown = turned ? PictureSize{h, w} : size;
  // Room for the resampler's padding, should the picture be shrunk.
  std::vector<std::uint8_t> out;
  out.reserve(static_cast<std::size_t>(size.pixels()) * 4 + kScalerPadding);
  out.resize(static_cast<std::size_t>(size.pixels()) * 4);
  for (std::uint32_t y = 0; y < shown.height; ++y) {
    std::uint8_t* row = out.data() + std::size_t{shown.height - 1 - y} * shown.width * 4;
    for (std::uint32_t x = 0; x < shown.width; ++x) {
      std::uint32_t sx = x, sy = y;
      switch (orientation) {
        case 2: sx = w - 1 - x; break;
        case 3: sx = w - 1 - x, sy = h - 1 - y; break;
        case 4: sy = h - 1 - y; break;
        case 5: sx = y, sy = x; break;
        case 6: sx = y, sy = h - 1 - x; break;
        case 7: sx = w - 1 - y, sy = h - 1 - x; break;
        case 8: sx = w - 1 - y, sy = x; break;
        default: break;
      }
      std::memcpy(row + std::size_t{x} * 4, stored.data() + (std::size_t{sy} * w + sx) * 4, 4);
    }
  }
  return out;
}

TgaImage rgbaPicture(PictureSize size, std::vector<std::uint8_t> pixels) {
  TgaImage image;
  image.info.width = size.width;
  image.info.height = size.height;
  image.info.bitsPerPixel = 32;
  image.info.alphaBits = 8;
  image.info.kind = TgaImageKind::Rgba;
  image.pixels = std::move(pixels);
  return image;
}

std::string megabytesFor(std::uint64_t pixels) { return megabytesNeeded(pixels * kPictureReadingBytesPerPixel); }

Failure tooLarge(PictureSize size, std::uint64_t memoryBytes) {
  return failure(FailureKind::TooLarge, "is " + std::to_string(size.width) + " x " + std::to_string(size.height) +
                                            " pixels: reading it takes " + megabytesFor(size.pixels()) + ", but " +
                                            megabytesAvailable(memoryBytes) + " are available");
}

// A picture of a format the ffmpeg libraries decode, from the open file.
Result<TgaImage> decodePicture(PictureFormat format, std::FILE* file, std::uint64_t memoryBytes) {
  if (const Result<Ffmpeg>& libraries = ffmpegLibraries(); !libraries)
    return failure(libraries.failure().kind,
                   std::string(describePictureFormat(format)) + ", which " + libraries.failure().reason);
  struct stat info {};
  const std::uint64_t bytes = fstat(fileno(file), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
  if (bytes + AV_INPUT_BUFFER_PADDING_SIZE > memoryBytes || bytes > static_cast<std::uint64_t>(INT32_MAX))
    return failure(FailureKind::TooLarge,
                   "is a file of " + megabytesNeeded(bytes) + ", more than is read as a picture");
  std::vector<std::uint8_t> data(static_cast<std::size_t>(bytes) + AV_INPUT_BUFFER_PADDING_SIZE);
  if (std::fread(data.data(), 1, static_cast<std::size_t>(bytes), file) != bytes)
    return failure(FailureKind::CannotOpen, "cannot be read whole");
  const Result<PictureSize> declared = declaredSize(format, data.data(), static_cast<std::size_t>(bytes));
  if (!declared) return declared.failure();
  if (declared->pixels() == 0)
    return failure(FailureKind::Malformed,
                   std::string("a damaged ") + (describePictureFormat(format) + 2) + ": its header declares no pixels");
  if (paddedPixels(declared.value()) > (memoryBytes - data.size()) / kPictureReadingBytesPerPixel)
    return tooLarge(declared.value(), memoryBytes);
  if (const Result<void> whole = holdsItWhole(format, data.data(), static_cast<std::size_t>(bytes)); !whole)
    return whole.failure();

  Result<FramePointer> frame = decodeFrame(format, data.data(), static_cast<std::size_t>(bytes), declared.value());
  if (!frame) return frame.failure();
  std::vector<std::uint8_t>().swap(data);
  const AVFrame& decoded = *frame.value();
  const PictureSize stored{static_cast<std::uint32_t>(decoded.width), static_cast<std::uint32_t>(decoded.height)};
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(stored.pixels()) * 4);
  if (!scaleToRgba(decoded.data, decoded.linesize, decoded.width, decoded.height,
                   static_cast<AVPixelFormat>(decoded.format), decoded.color_range, stored, rgba.data()))
    return failure(FailureKind::Unsupported,
                   std::string(describePictureFormat(format)) + " in a pixel format that cannot be converted");
  const int orientation = orientationOf(decoded);
  frame.value().reset();
  PictureSize shown;
  std::vector<std::uint8_t> pixels = upright(rgba, stored, orientation, shown);
  return rgbaPicture(shown, std::move(pixels));
}

// A TGA picture, read as the cruncher reads one.
Result<TgaImage> readTga(const std::string& fileName, std::uint64_t memoryBytes) {
  Result<TgaFile> file = TgaFile::open(fileName);
  if (!file) {
    // Neither a TGA header nor room for one: no picture of any kind read here.
    const Failure& why = file.failure();
    if (why.kind == FailureKind::WrongFormat ||
        (why.kind == FailureKind::CutShort && why.reason.find("header") != std::string::npos))
      return failure(FailureKind::WrongFormat, "not a picture: neither PNG, JPEG, GIF, BMP nor TGA");
    return why;
  }
  const PictureSize size{file->info().width, file->info().height};
  Result<TgaImage> image = file->decode(memoryBytes / kPictureReadingBytesPerPixel);
  if (!image && image.failure().kind == FailureKind::TooLarge) return tooLarge(size, memoryBytes);
  return image;
}

}  // namespace

Result<TgaImage> readPicture(const std::string& fileName, std::uint64_t memoryBytes) {
  Result<FileHandle> file = openReadable(fileName);
  if (!file) return file.failure();
  std::uint8_t start[16];
  const std::size_t got = std::fread(start, 1, sizeof start, file->get());
  std::rewind(file->get());
  if (got == 0) return failure(FailureKind::WrongFormat, "empty: not a picture");
  const PictureFormat format = pictureFormatOf(start, got);
  switch (format) {
    case PictureFormat::Unmarked: return readTga(fileName, memoryBytes);
    case PictureFormat::Tiff:
    case PictureFormat::WebP:
      return failure(FailureKind::Unsupported, std::string(describePictureFormat(format)) +
                                                   ", which is not read (PNG, JPEG, GIF, BMP and TGA are)");
    default: return decodePicture(format, file->get(), memoryBytes);
  }
}

PictureSize sizeWithin(PictureSize size, std::uint64_t most) {
  if (size.pixels() <= most) return size;
  const double w = size.width, h = size.height;
  const double scale = std::sqrt(static_cast<double>(most) / (w * h));
  std::uint64_t width = std::max<std::uint64_t>(1, static_cast<std::uint64_t>(w * scale));
  std::uint64_t height = std::max<std::uint64_t>(1, static_cast<std::uint64_t>(h * scale));
  // A side of one pixel stays: the other takes what is left.
  if (width == 1) height = std::min(height, most);
  if (height == 1) width = std::min(width, most);
  while (width * height > most) {
    if (width * size.height > height * size.width)
      --width;
    else
      --height;
  }
  return {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
}

namespace {

// The pixels of `picture` as 32-bit R, G, B, A, taken as the cruncher takes them.
std::vector<std::uint8_t> asRgba(const TgaImage& picture) {
  const std::size_t count = static_cast<std::size_t>(picture.info.pixelCount());
  const std::size_t bytes = picture.info.bitsPerPixel / 8;
  std::vector<std::uint8_t> out(count * 4, 0);
  const std::uint8_t* in = picture.pixels.data();
  const bool taken = (bytes == 1 || bytes == 3 || bytes == 4) && picture.pixels.size() >= count * bytes;
  for (std::size_t k = 0; k < count; ++k) {
    std::uint8_t* p = out.data() + 4 * k;
    p[3] = 255;
    if (!taken) continue;
    const std::uint8_t* q = in + bytes * k;
    p[0] = q[0];
    p[1] = bytes == 1 ? q[0] : q[1];
    p[2] = bytes == 1 ? q[0] : q[2];
    if (bytes == 4) p[3] = q[3];
  }
  return out;
}

// The most a side shrinks in one pass of the resampler: its filter grows with the
// ratio, and a much larger one is not set up.
constexpr double kLargestPassRatio = 16;

}  // namespace

Result<TgaImage> shrinkPicture(TgaImage picture, PictureSize size) {
  if (sizeOf(picture) == size) return picture;
  if (const Result<Ffmpeg>& libraries = ffmpegLibraries(); !libraries)
    return failure(libraries.failure().kind, "is larger than the particles asked for, and " +
                                                 libraries.failure().reason.substr(std::strlen("cannot be decoded ")) +
                                                 " it cannot be shrunk");
  PictureSize now = sizeOf(picture);
  std::vector<std::uint8_t> pixels = picture.info.bitsPerPixel == 32 ? std::move(picture.pixels) : asRgba(picture);
  picture = TgaImage{};
  pixels.resize(static_cast<std::size_t>(now.pixels()) * 4 + kScalerPadding);
  while (!(now == size)) {
    // A pass shrinks each side by at most kLargestPassRatio.
    const auto step = [](std::uint32_t from, std::uint32_t to) {
      return std::max(to, static_cast<std::uint32_t>(std::ceil(from / kLargestPassRatio)));
    };
    const PictureSize next{step(now.width, size.width), step(now.height, size.height)};
    std::vector<std::uint8_t> out(static_cast<std::size_t>(next.pixels()) * 4 + kScalerPadding);
    const std::uint8_t* planes[4] = {pixels.data(), nullptr, nullptr, nullptr};
    const int strides[4] = {static_cast<int>(now.width) * 4, 0, 0, 0};
    if (!scaleToRgba(planes, strides, static_cast<int>(now.width), static_cast<int>(now.height), AV_PIX_FMT_RGBA,
                     AVCOL_RANGE_UNSPECIFIED, next, out.data()))
      return failure(FailureKind::TooLarge, "cannot be shrunk: the resampler could not be set up");
    pixels = std::move(out);
    now = next;
  }
  pixels.resize(static_cast<std::size_t>(size.pixels()) * 4);
  return rgbaPicture(size, std::move(pixels));
}

}  // namespace zorvel
