#pragma once

#include <cstdint>

namespace zorvel {

// The linear congruential generator of the scattering: state = state x 214013 + 2531011
// (mod 2^32); each draw is bits 16 to 30 of the new state, 0 to 32767. The same seed
// gives the same draws on every platform.
class RandomGenerator {
 public:
  static constexpr int kMaxDraw = 32767;

  explicit RandomGenerator(std::uint32_t seed) : state_(seed) {}

  int draw() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
  }

 private:
  std::uint32_t state_;
};

// The seed of a run: the calendar time in whole seconds since 1970.
std::uint32_t randomSeed();

}  // namespace zorvel
