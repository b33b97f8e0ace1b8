#include "picture/PictureShrinking.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "picture/CodecLibraries.h"
#include "picture/Resampler.h"

namespace zorvel {

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

PictureSize sizeWithin(PictureSize size, std::uint64_t most) {
  if (size.pixels() <= most) return size;
  const double w = size.width, h = size.height;
  const double scale = std::sqrt(static_cast<double>(most) / (w * h));
  std::uint64_t width = std::max<std::uint64_t>(1, static_cast<std::uint64_t>(w * scale));
  std::uint64_t height = std::max<std::uint64_t>(1, static_cast<std::uint64_t>(h * scale));
  // A side of one pixel stays: the other takes what is left. Rounded down, the two
  // sides hold no more than `most` (which the height's bound keeps, were a side's
  // rounding ever to come out a pixel long).
  if (width == 1) height = std::min(height, most);
  if (height == 1) width = std::min(width, most);
  height = std::min(height, most / width);
  return {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
}

Result<TgaImage> shrinkPicture(TgaImage picture, PictureSize size) {
  if (sizeOf(picture) == size) return picture;
  if (const Result<CodecLibraries>& libraries = codecLibraries(); !libraries)
    return failure(libraries.failure().kind, "is larger than the particles asked for, and " +
                                                 libraries.failure().reason + " it cannot be shrunk");
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
    if (!scaleToRgba({planes, strides, now, AV_PIX_FMT_RGBA, AVCOL_RANGE_UNSPECIFIED}, next, out.data()))
      return failure(FailureKind::TooLarge, "cannot be shrunk: the resampler could not be set up");
    pixels = std::move(out);
    now = next;
  }
  pixels.resize(static_cast<std::size_t>(size.pixels()) * 4);
  return rgbaPicture(size, std::move(pixels));
}

}  // namespace zorvel
