#pragma once

// Floats as the bit patterns they are stored in: for keys that must match a value and
// its copy exactly, which the comparison of floats does not (-0 equals +0, NaN nothing).

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zorvel {

// The bits of `value`.
inline std::uint32_t floatBits(float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// The bits of `value` with -0 folded into +0: equal patterns for values that compare
// equal (NaN aside).
inline std::uint32_t foldedFloatBits(float value) { return floatBits(value + 0.0f); }

// A hash of a point's three coordinates' bits, mixed so that nearby points spread.
inline std::size_t pointBitsHash(const float* point) {
  std::uint64_t h = 0x9e3779b97f4a7c15ull;
  for (int axis = 0; axis < 3; ++axis) {
    h ^= floatBits(point[axis]);
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 32;
  }
  return static_cast<std::size_t>(h);
}

}  // namespace zorvel
