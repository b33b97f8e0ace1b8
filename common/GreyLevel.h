#pragma once

namespace zorvel {

// 1/255 as the single-precision constant through which a grey level 0..255 becomes a
// fraction in the attribute formulas (velocity, height, scale).
constexpr float kInverse255 = 0.003921569f;

}  // namespace zorvel
