#pragma once

// Unsigned numbers of 16, 24 and 32 bits as picture files store them, most significant
// byte first (big-endian) or last (little-endian), read from the bytes at `p`, which
// must hold them.

#include <cstdint>

namespace zorvel {

inline std::uint32_t bigEndian16(const std::uint8_t* p) { return std::uint32_t{p[0]} << 8 | p[1]; }
inline std::uint32_t bigEndian32(const std::uint8_t* p) { return bigEndian16(p) << 16 | bigEndian16(p + 2); }
inline std::uint32_t littleEndian16(const std::uint8_t* p) { return p[0] | std::uint32_t{p[1]} << 8; }
inline std::uint32_t littleEndian24(const std::uint8_t* p) { return littleEndian16(p) | std::uint32_t{p[2]} << 16; }
inline std::uint32_t littleEndian32(const std::uint8_t* p) { return littleEndian16(p) | littleEndian16(p + 2) << 16; }

}  // namespace zorvel
