#include "picture/PictureDecoding.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "picture/ByteOrder.h"
#include "picture/CodecLibraries.h"
#include "picture/Resampler.h"

namespace zorvel {

namespace {

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

// The decoder of a file of `format` that starts with `data`; a PNM file's kind (its
// second byte) has one of its own.
AVCodecID decoderFor(PictureFormat format, const std::uint8_t* data) {
  switch (format) {
    case PictureFormat::Png: return AV_CODEC_ID_PNG;
    case PictureFormat::Jpeg: return AV_CODEC_ID_MJPEG;
    case PictureFormat::Gif: return AV_CODEC_ID_GIF;
    case PictureFormat::Bmp: return AV_CODEC_ID_BMP;
    case PictureFormat::Tiff: return AV_CODEC_ID_TIFF;
    case PictureFormat::WebP: return AV_CODEC_ID_WEBP;
    case PictureFormat::Pnm:
      switch (data[1]) {
        case '1':
        case '4': return AV_CODEC_ID_PBM;
        case '2':
        case '5': return AV_CODEC_ID_PGM;
        case '3':
        case '6': return AV_CODEC_ID_PPM;
        default: return AV_CODEC_ID_PAM;
      }
    default: return AV_CODEC_ID_NONE;
  }
}

// The first picture the whole file holds, decoded as it is stored.
Result<FramePointer> decodeFrame(PictureFormat format, const std::uint8_t* data, std::size_t size,
                                 PictureSize declared) {
  const std::string what = describePictureFormat(format);
  const AVCodec* codec = av().avcodec_find_decoder(decoderFor(format, data));
  if (!codec) return failure(FailureKind::Unsupported, what + ", which this build cannot decode");
  std::unique_ptr<AVCodecContext, DecoderFree> decoder(av().avcodec_alloc_context3(codec));
  if (!decoder) throw std::bad_alloc();
  // Room for the padding a decoder gives its rows and its blocks, no more.
  decoder->max_pixels = static_cast<std::int64_t>(decoderPixels(declared));
  decoder->thread_count = 1;
  const CodecMessages messages;
  const auto damaged = [&] {
    const std::string& says = messages.lastError();
    return failure(FailureKind::Malformed, "a damaged " + std::string(pictureFormatName(format)) + " picture" +
                                               (says.empty() ? "" : " (the decoder says: " + says + ")"));
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

// The R, G, B, A pixels of the first picture of a file of `format`, top row first, with
// their size and the orientation the file's tag gives.
struct StoredPixels {
  std::vector<std::uint8_t> rgba;
  PictureSize size;
  int orientation = 1;
};

Result<StoredPixels> decodeStored(PictureFormat format, const std::uint8_t* data, std::size_t size,
                                  PictureSize declared) {
  Result<FramePointer> frame = decodeFrame(format, data, size, declared);
  if (!frame) return frame.failure();
  const AVFrame& decoded = *frame.value();
  StoredPixels pixels;
  pixels.size = {static_cast<std::uint32_t>(decoded.width), static_cast<std::uint32_t>(decoded.height)};
  pixels.rgba.resize(static_cast<std::size_t>(pixels.size.pixels()) * 4);
  if (!scaleToRgba({decoded.data, decoded.linesize, pixels.size, static_cast<AVPixelFormat>(decoded.format),
                    decoded.color_range},
                   pixels.size, pixels.rgba.data()))
    return failure(FailureKind::Unsupported,
                   std::string(describePictureFormat(format)) + " in a pixel format that cannot be converted");
  pixels.orientation = orientationOf(decoded);
  return pixels;
}

// An animated WebP's first frame (the data of its first ANMF chunk, at `frame` in the
// file) on its canvas of `canvas`, transparent where the frame does not reach: the
// frame's own chunks are decoded as a still WebP file of the frame's size.
Result<StoredPixels> decodeWebpFrame(const std::uint8_t* data, std::size_t frame, PictureSize canvas) {
  const std::uint8_t* f = data + frame;
  const std::uint32_t length = littleEndian32(f - 4);
  const std::uint32_t x = 2 * littleEndian24(f), y = 2 * littleEndian24(f + 3);
  const PictureSize size{littleEndian24(f + 6) + 1, littleEndian24(f + 9) + 1};
  if (x >= canvas.width || y >= canvas.height || size.width > canvas.width - x || size.height > canvas.height - y)
    return failure(FailureKind::Malformed, "a damaged WebP picture: its first frame lies outside its canvas");
  const std::uint8_t* chunks = f + 16;
  const std::size_t chunkBytes = length - 16;
  const bool alpha = chunkBytes >= 4 && std::memcmp(chunks, "ALPH", 4) == 0;
  std::vector<std::uint8_t> still;
  const auto put = [&still](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) still.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  still.reserve(30 + chunkBytes + AV_INPUT_BUFFER_PADDING_SIZE);
  for (const char c : std::string("RIFF")) still.push_back(static_cast<std::uint8_t>(c));
  put(static_cast<std::uint32_t>(4 + 18 + chunkBytes), 4);
  for (const char c : std::string("WEBPVP8X")) still.push_back(static_cast<std::uint8_t>(c));
  put(10, 4);
  put(alpha ? 0x10 : 0, 4);
  put(size.width - 1, 3);
  put(size.height - 1, 3);
  still.insert(still.end(), chunks, chunks + chunkBytes);
  const std::size_t stillBytes = still.size();
  still.resize(stillBytes + AV_INPUT_BUFFER_PADDING_SIZE);
  Result<StoredPixels> decoded = decodeStored(PictureFormat::WebP, still.data(), stillBytes, size);
  if (!decoded) return decoded;
  if (!(decoded->size == size))
    return failure(FailureKind::Malformed, "a damaged WebP picture: its first frame is not of the size it declares");
  StoredPixels placed;
  placed.size = canvas;
  placed.rgba.assign(static_cast<std::size_t>(canvas.pixels()) * 4, 0);
  for (std::uint32_t row = 0; row < size.height; ++row)
    std::memcpy(placed.rgba.data() + (std::size_t{y + row} * canvas.width + x) * 4,
                decoded->rgba.data() + std::size_t{row} * size.width * 4, std::size_t{size.width} * 4);
  return placed;
}

// The pixels of `stored` (top row first, `size` as stored) upright for `orientation`,
// bottom row first: pixel (x, y) of the upright picture, y counted from its top, is the
// stored pixel the tag names for it. Room is left for the resampler's padding, should
// the picture be shrunk.
TgaImage upright(const std::vector<std::uint8_t>& stored, PictureSize size, int orientation) {
  const std::uint32_t w = size.width, h = size.height;
  const bool turned = orientation >= 5;
  const PictureSize shown = turned ? PictureSize{h, w} : size;
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
  return rgbaPicture(shown, std::move(out));
}

}  // namespace

std::uint64_t decoderPixels(PictureSize size) {
  return (std::uint64_t{size.width} + 128) * (std::uint64_t{size.height} + 128);
}

Result<TgaImage> decodePicture(PictureFormat format, const std::uint8_t* data, std::size_t size,
                               const PictureHeader& header) {
  Result<StoredPixels> stored = format == PictureFormat::WebP && header.firstFrame != 0
                                    ? decodeWebpFrame(data, header.firstFrame, header.size)
                                    : decodeStored(format, data, size, header.size);
  if (!stored) return stored.failure();
  return upright(stored->rgba, stored->size, stored->orientation);
}

}  // namespace zorvel
