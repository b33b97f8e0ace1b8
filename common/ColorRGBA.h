#pragma once

#include <cstdint>

namespace zorvel {

// Four unsigned bytes in the order red, green, blue, alpha. The first field of every
// pixel record; a default colour is opaque black.
struct ColorRGBA {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t alpha = 255;

  friend bool operator==(const ColorRGBA& a, const ColorRGBA& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue && a.alpha == b.alpha;
  }
  friend bool operator!=(const ColorRGBA& a, const ColorRGBA& b) { return !(a == b); }
};

static_assert(sizeof(ColorRGBA) == 4, "ColorRGBA is four bytes");

}  // namespace zorvel
