#include "cruncher/CoincidenceRemoval.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace zorvel {

namespace {

// Exact position equality as a hash key: the bit patterns of the three floats, with
// -0 folded into +0 (they compare equal).
struct PositionKey {
  std::uint32_t x, y, z;

  explicit PositionKey(const Vector3& v) : x(bits(v.x)), y(bits(v.y)), z(bits(v.z)) {}
  static std::uint32_t bits(float f) {
    f += 0.0f;
    std::uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
  }
  friend bool operator==(const PositionKey& a, const PositionKey& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
};

struct PositionKeyHash {
  std::size_t operator()(const PositionKey& k) const {
    std::uint64_t h = k.x * 0x9E3779B97F4A7C15ull;
    h ^= (h >> 29) + k.y * 0xC2B2AE3D27D4EB4Full;
    h ^= (h >> 31) + k.z * 0x165667B19E3779F9ull;
    return static_cast<std::size_t>(h ^ (h >> 32));
  }
};

// Particle indices by position, each list in ascending order. A turn only looks up
// particles after its own, which have not moved yet in this pass, so the index built at
// the start of a pass stays right for the whole pass.
using PositionIndex = std::unordered_map<PositionKey, std::vector<std::uint32_t>, PositionKeyHash>;

std::size_t runPass(std::vector<PixelParticle>& particles, const std::function<Vector3()>& drawPosition) {
  const std::size_t n = particles.size();
  PositionIndex index;
  index.reserve(n);
  for (std::uint32_t k = 0; k < n; ++k) index[PositionKey(particles[k].position)].push_back(k);

  std::size_t changes = 0;
  for (std::uint32_t i = 0; i + 1 < n; ++i) {
    const Vector3 start = particles[i].position;
    Vector3 current = start;
    std::uint32_t from = i + 1;  // the next j to compare with
    for (;;) {
      const auto found = index.find(PositionKey(current));
      if (found == index.end()) break;
      const std::vector<std::uint32_t>& same = found->second;
      const auto j = std::lower_bound(same.begin(), same.end(), from);
      if (j == same.end()) break;
      const Vector3 other = particles[*j].position;
      while (current == other) {
        current = drawPosition();
        ++changes;
      }
      from = *j + 1;
    }
    if (current != start) particles[i].position = particles[i].nextPosition = current;
  }
  return changes;
}

}  // namespace

std::size_t removeCoincidences(std::vector<PixelParticle>& particles, const std::function<Vector3()>& drawPosition) {
  std::size_t total = 0;
  if (particles.size() < 2) return total;
  while (const std::size_t changes = runPass(particles, drawPosition)) total += changes;
  return total;
}

}  // namespace zorvel
