#include "playback/SharedEdges.h"

#include <array>

#include "common/FloatBits.h"

namespace zorvel {

namespace {

// The edges of kWireBoxCorners by the corners they join: the vertical edges 0 (4, 6),
// 1 (5, 7), 2 (1, 3) and 3 (0, 2); the top loop 4 to 7; the bottom loop 8 to 11.
constexpr unsigned kAll = 0xfffu;
constexpr unsigned kTopLoop = 0xf0u;
constexpr unsigned kBottomLoop = 0xf00u;
constexpr unsigned kVerticalLowX = (1u << 0) | (1u << 3);
constexpr unsigned kVerticalHighX = (1u << 1) | (1u << 2);
constexpr unsigned kVerticalLowZ = (1u << 2) | (1u << 3);
constexpr unsigned kVerticalHighZ = (1u << 0) | (1u << 1);

// Coordinates are equal here only when their bits are: a position and its copy.
bool same(float a, float b) { return floatBits(a) == floatBits(b); }

bool sameCorner(const float* a, const float* b) { return same(a[0], b[0]) && same(a[1], b[1]) && same(a[2], b[2]); }

// Which of `ours`, edges of a box on its side facing a box beside it across `axis`,
// that box drew, going by the edges it drew, `theirs`: edge k of ours is the one of
// theirs whose corners are edge k's with the corners' bit for that axis turned over
// (an edge on one box's high side is one on the other's low side).
unsigned drawnAcross(unsigned ours, unsigned theirs, int axis) {
  constexpr std::size_t kEdges = kWireBoxVertices / 2;
  static const auto kAcross = [] {
    std::array<std::array<unsigned char, kEdges>, 3> table{};
    for (std::size_t a = 0; a < 3; ++a)
      for (std::size_t edge = 0; edge < kEdges; ++edge)
        for (std::size_t other = 0; other < kEdges; ++other)
          if ((kWireBoxCorners[2 * edge] ^ (1u << a)) == kWireBoxCorners[2 * other] &&
              (kWireBoxCorners[2 * edge + 1] ^ (1u << a)) == kWireBoxCorners[2 * other + 1])
            table[a][edge] = static_cast<unsigned char>(other);
    return table;
  }();
  const auto& across = kAcross[static_cast<std::size_t>(axis)];
  unsigned drawn = 0;
  for (std::size_t edge = 0; edge < kEdges; ++edge)
    if ((ours >> edge) & (theirs >> across[edge]) & 1u) drawn |= 1u << edge;
  return drawn;
}

}  // namespace

std::size_t SharedEdges::Table::slotFor(const std::vector<Corners>& corners, const float* key, bool high) const {
  const std::size_t mask = slots.size() - 1;
  std::size_t slot = pointBitsHash(key) & mask;
  for (; slots[slot] != 0; slot = (slot + 1) & mask) {
    const Corners& box = corners[slots[slot] - 1];
    if (sameCorner(high ? box.high : box.low, key)) break;
  }
  return slot;
}

std::uint32_t SharedEdges::Table::find(const std::vector<Corners>& corners, const float* key, bool high) const {
  return slots[slotFor(corners, key, high)];
}

void SharedEdges::Table::insert(const std::vector<Corners>& corners, const float* key, bool high, std::uint32_t box) {
  std::uint32_t& slot = slots[slotFor(corners, key, high)];
  if (slot == 0) slot = box + 1;  // the earliest box stands for the corner
}

void SharedEdges::begin(std::size_t boxes) {
  // At most half full, so that a probe ends soon.
  std::size_t capacity = 16;
  while (capacity < 2 * boxes) capacity *= 2;
  corners_.clear();
  corners_.reserve(boxes);
  byLow_.slots.assign(capacity, 0);
  byHigh_.slots.assign(capacity, 0);
}

unsigned SharedEdges::next(const Vector3* corners, unsigned leftOut) {
  // Corners 0 and 7, p - h and p + h: the edge table joins corners by their bits,
  // whatever the sign of h.
  const Vector3& first = corners[0];
  const Vector3& last = corners[kBoxCorners - 1];
  Corners a{{first.x, first.y, first.z}, {last.x, last.y, last.z}, 0};
  const float* lo = a.low;
  const float* hi = a.high;
  // The edges drawn by the earlier box whose corner `high ? high : low` is `key` and
  // whose other corner agrees with this box's on the two axes other than `axis`; none
  // when there is no such box.
  const auto earlier = [this](const float* key, bool high, int axis, const float* other) -> unsigned {
    const std::uint32_t found = (high ? byHigh_ : byLow_).find(corners_, key, high);
    if (found == 0) return 0;
    const Corners& box = corners_[found - 1];
    const float* theirs = high ? box.low : box.high;
    for (int k = 0; k < 3; ++k)
      if (k != axis && !same(theirs[k], other[k])) return 0;
    return box.drawn;
  };
  unsigned shared = earlier(lo, false, -1, hi);  // the very same box
  // A box touching this one across `axis`: its high corner has this one's low
  // coordinate on that axis and high ones on the others (or the other way round), and
  // then `edges` of this box are edges of that one, on its other side.
  struct Touching {
    int axis;
    bool high;
    unsigned edges;
  };
  static constexpr Touching kTouching[] = {
      {1, true, kBottomLoop},   {1, false, kTopLoop},        // below, above
      {0, true, kVerticalLowX}, {0, false, kVerticalHighX},  // beside along x
      {2, true, kVerticalLowZ}, {2, false, kVerticalHighZ},  // beside along z
  };
  for (const Touching& t : kTouching) {
    float key[3];
    for (int k = 0; k < 3; ++k) key[k] = ((k == t.axis) != t.high) ? hi[k] : lo[k];
    const unsigned theirs = earlier(key, t.high, t.axis, t.high ? lo : hi);
    if (theirs != 0) shared |= drawnAcross(t.edges, theirs, t.axis);
  }
  a.drawn = (kAll & ~leftOut) | shared;
  // More boxes than begin() was told of are not remembered: the tables stay at most
  // half full, so every probe ends.
  if (2 * (corners_.size() + 1) > byLow_.slots.size()) return shared;
  const std::uint32_t index = static_cast<std::uint32_t>(corners_.size());
  corners_.push_back(a);
  byLow_.insert(corners_, corners_.back().low, false, index);
  byHigh_.insert(corners_, corners_.back().high, true, index);
  return shared;
}

}  // namespace zorvel
