#pragma once

#include <cstdint>

namespace zorvel {

// Milliseconds of a monotonic clock, cut to 32 bits. It wraps after about 49.7 days;
// take differences as unsigned 32-bit values (later - earlier) and a wrap still gives
// the right elapsed time.
std::uint32_t tickCount();

// Elapsed milliseconds from `earlier` to `later`, correct across one wrap of the counter.
inline std::uint32_t ticksBetween(std::uint32_t earlier, std::uint32_t later) { return later - earlier; }

}  // namespace zorvel
