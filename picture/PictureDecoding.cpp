#include "picture/PictureDecoding.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

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

AVCodecID decoderFor(PictureFormat format) {
  switch (format) {
    case PictureFormat::Png: return AV_CODEC_ID_PNG;
    case PictureFormat::Jpeg: return AV_CODEC_ID_MJPEG;
    case PictureFormat::Gif: return AV_CODEC_ID_GIF;
    case PictureFormat::Bmp: return AV_CODEC_ID_BMP;
    default: return AV_CODEC_ID_NONE;
  }
}

// The first picture the whole file holds, decoded as it is stored.
Result<FramePointer> decodeFrame(PictureFormat format, const std::uint8_t* data, std::size_t size,
                                 PictureSize declared) {
  const std::string what = describePictureFormat(format);
  const AVCodec* codec = av().avcodec_find_decoder(decoderFor(format));
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

Result<TgaImage> decodePicture(PictureFormat format, const std::uint8_t* data, std::size_t size, PictureSize declared) {
  Result<FramePointer> frame = decodeFrame(format, data, size, declared);
  if (!frame) return frame.failure();
  const AVFrame& decoded = *frame.value();
  const PictureSize stored{static_cast<std::uint32_t>(decoded.width), static_cast<std::uint32_t>(decoded.height)};
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(stored.pixels()) * 4);
  if (!scaleToRgba(
          {decoded.data, decoded.linesize, stored, static_cast<AVPixelFormat>(decoded.format), decoded.color_range},
          stored, rgba.data()))
    return failure(FailureKind::Unsupported,
                   std::string(describePictureFormat(format)) + " in a pixel format that cannot be converted");
  const int orientation = orientationOf(decoded);
  frame.value().reset();
  return upright(rgba, stored, orientation);
}

}  // namespace zorvel
