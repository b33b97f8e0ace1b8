#include "picture/Resampler.h"

#include <memory>

namespace zorvel {

namespace {

struct ScalerFree {
  void operator()(SwsContext* context) const { av().sws_freeContext(context); }
};
using Scaler = std::unique_ptr<SwsContext, ScalerFree>;

Scaler scalerFor(const ResamplerInput& in, PictureSize to) {
  const int flags =
      (in.size == to ? SWS_BILINEAR : SWS_LANCZOS) | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT | SWS_FULL_CHR_H_INP;
  Scaler scaler(av().sws_getContext(static_cast<int>(in.size.width), static_cast<int>(in.size.height), in.format,
                                    static_cast<int>(to.width), static_cast<int>(to.height), AV_PIX_FMT_RGBA, flags,
                                    nullptr, nullptr, nullptr));
  if (scaler && in.range == AVCOL_RANGE_JPEG) {
    int *inverse = nullptr, *table = nullptr;
    int sourceRange = 0, targetRange = 0, brightness = 0, contrast = 0, saturation = 0;
    av().sws_getColorspaceDetails(scaler.get(), &inverse, &sourceRange, &table, &targetRange, &brightness, &contrast,
                                  &saturation);
    av().sws_setColorspaceDetails(scaler.get(), inverse, 1, table, targetRange, brightness, contrast, saturation);
  }
  return scaler;
}

}  // namespace

bool scaleToRgba(const ResamplerInput& in, PictureSize to, std::uint8_t* out) {
  const Scaler scaler = scalerFor(in, to);
  if (!scaler) return false;
  std::uint8_t* target[4] = {out, nullptr, nullptr, nullptr};
  const int targetStride[4] = {static_cast<int>(to.width) * 4, 0, 0, 0};
  return av().sws_scale(scaler.get(), in.planes, in.strides, 0, static_cast<int>(in.size.height), target,
                        targetStride) == static_cast<int>(to.height);
}

}  // namespace zorvel
