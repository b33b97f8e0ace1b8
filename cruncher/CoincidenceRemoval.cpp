#include "cruncher/CoincidenceRemoval.h"

#include <algorithm>
#include <cstdint>
#include <tuple>

#include "common/FloatBits.h"

namespace zorvel {

namespace {

// A particle's position as a key that sorts: the bit patterns of its three floats, with
// -0 folded into +0 (they compare equal), so that equal keys are equal positions; and
// the particle's index.
struct Entry {
  std::uint32_t x, y, z, index;

  static Entry of(const Vector3& v, std::uint32_t index) {
    return {foldedFloatBits(v.x), foldedFloatBits(v.y), foldedFloatBits(v.z), index};
  }
  bool samePlace(const Entry& other) const { return x == other.x && y == other.y && z == other.z; }
  friend bool operator<(const Entry& a, const Entry& b) {
    return std::tie(a.x, a.y, a.z, a.index) < std::tie(b.x, b.y, b.z, b.index);
  }
};

// The particles sorted by position, those on one position in ascending order. A turn
// only looks up particles after its own, which have not moved yet in this pass, so the
// order sorted at the start of a pass stays right for the whole pass.
std::size_t runPass(std::vector<PixelParticle>& particles, const std::function<Vector3()>& drawPosition) {
  const std::size_t n = particles.size();
  std::vector<Entry> sorted;
  sorted.reserve(n);
  for (std::uint32_t k = 0; k < n; ++k) sorted.push_back(Entry::of(particles[k].position, k));
  std::sort(sorted.begin(), sorted.end());
  // Where each particle stands in that order: the particle after it there is the next
  // on its own position, if any is.
  std::vector<std::uint32_t> rank(n);
  for (std::uint32_t r = 0; r < n; ++r) rank[sorted[r].index] = r;

  std::size_t changes = 0;
  for (std::uint32_t i = 0; i + 1 < n; ++i) {
    const Vector3 start = particles[i].position;
    Vector3 current = start;
    std::uint32_t from = i + 1;  // the next j to compare with
    for (;;) {
      // The first particle from `from` on at the current position, if any: on its own
      // first position, the one after it in the order.
      const Entry wanted = Entry::of(current, from);
      const auto j = from == i + 1 && current == start ? sorted.begin() + rank[i] + 1
                                                       : std::lower_bound(sorted.begin(), sorted.end(), wanted);
      if (j == sorted.end() || !j->samePlace(wanted)) break;
      const Vector3 other = particles[j->index].position;
      while (current == other) {
        current = drawPosition();
        ++changes;
      }
      from = j->index + 1;
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
