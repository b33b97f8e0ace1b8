// Edges a box shares with a box drawn before it, which drawing again would change no pixel.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "common/PictureGrid.h"
#include "playback/SharedEdges.h"

namespace zorvel::test {
namespace {

struct Edge {
  Vector3 from, to;
};

// Equal to the bit, as a copied position is (0 and -0 differ here).
bool sameBits(const Vector3& a, const Vector3& b) {
  const auto bits = [](float f) {
    std::uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
  };
  return bits(a.x) == bits(b.x) && bits(a.y) == bits(b.y) && bits(a.z) == bits(b.z);
}

// Gives `shared` the box around `centre` as the drawing does: by its written corners.
unsigned nextBox(SharedEdges& shared, const Vector3& centre, const HalfExtents& h, unsigned leftOut = 0) {
  Vector3 corners[kBoxCorners];
  writeBoxCorners(corners, centre, h);
  return shared.next(corners, leftOut);
}

std::vector<Edge> edgesOf(const Vector3& centre, const HalfExtents& h) {
  std::vector<Vector3> ends(kWireBoxVertices);
  writeWireBox(ends.data(), centre, h);
  std::vector<Edge> edges;
  for (int k = 0; k < kWireBoxVertices; k += 2) edges.push_back({ends[k], ends[k + 1]});
  return edges;
}

TEST(SharedEdges, EveryEdgeLeftOutWasDrawnBeforeWithTheSameEndsInTheSameDirection) {
  // Boxes on a coarse lattice with a few sizes, negative and zero ones among them, so
  // that many touch, some coincide and some only overlap. Every other box leaves out
  // some edges of its own (as hidden ones are), which no later box may count on.
  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> cell(-3, 3), size(0, 5);
  std::uniform_int_distribution<unsigned> edgesOwnLeftOut(0, 0xfff);
  const float halves[] = {0.5f, 0.25f, 1.0f, -0.5f, 0.0f, 0.75f};
  SharedEdges shared;
  shared.begin(4000);
  std::vector<Edge> drawn;
  int leftOut = 0;
  for (int i = 0; i < 4000; ++i) {
    const Vector3 centre{cell(random) * 0.5f, cell(random) * 0.5f, cell(random) * 0.5f};
    const HalfExtents h{halves[size(random)], halves[size(random)], halves[size(random)]};
    const unsigned own = i % 2 == 0 ? edgesOwnLeftOut(random) : 0;
    const unsigned mask = nextBox(shared, centre, h, own);
    ASSERT_EQ(mask & ~0xfffu, 0u);
    const std::vector<Edge> edges = edgesOf(centre, h);
    for (int k = 0; k < 12; ++k) {
      if (mask & (1u << k)) {
        ++leftOut;
        bool before = false;
        for (const Edge& e : drawn) before = before || (sameBits(e.from, edges[k].from) && sameBits(e.to, edges[k].to));
        ASSERT_TRUE(before) << "box " << i << ", edge " << k;
      }
    }
    // What is in the picture now: every edge of this box but those it left out of its own.
    for (int k = 0; k < 12; ++k)
      if ((own & (1u << k)) == 0) drawn.push_back(edges[k]);
  }
  EXPECT_GT(leftOut, 1000);  // the test meets the sharing it checks
}

TEST(SharedEdges, APictureAtHomeDrawsEachEdgeBetweenNeighboursOnce) {
  // 141 x 141 unit boxes (whole-unit positions) and 20 x 10 (half-unit ones): a box
  // shares its bottom loop with the box below and two vertical edges with the box on
  // its left; the edges along z of the side it shares with that box run the other way
  // and are kept.
  for (const auto& [width, height] : {std::pair{141, 141}, std::pair{20, 10}}) {
    SharedEdges shared;
    shared.begin(static_cast<std::size_t>(width) * height);
    int leftOut = 0;
    for (int row = 0; row < height; ++row)
      for (int column = 0; column < width; ++column) {
        const unsigned mask = nextBox(shared, gridPosition(column, row, width, height), {0.5f, 0.5f, 0.5f});
        for (unsigned bits = mask; bits != 0; bits &= bits - 1) ++leftOut;
      }
    EXPECT_EQ(leftOut, 4 * width * (height - 1) + 2 * (width - 1) * height) << width << " x " << height;
  }
  // Drawn from the top row down, the shared loop is the top one; the count is the same.
  SharedEdges shared;
  shared.begin(4);
  EXPECT_EQ(nextBox(shared, {0, 1, 0}, {0.5f, 0.5f, 0.5f}), 0u);
  EXPECT_EQ(nextBox(shared, {0, 0, 0}, {0.5f, 0.5f, 0.5f}), 0xf0u);
  EXPECT_EQ(nextBox(shared, {0, 0, 0}, {0.5f, 0.5f, 0.5f}), 0xfffu);  // the same box again
  EXPECT_EQ(nextBox(shared, {0, 0, 1}, {0.5f, 0.5f, 0.5f}), 0xcu);    // in front of it along z: two vertical edges
  // Past the boxes begin() was told of, boxes are answered but not remembered.
  for (int i = 0; i < 100; ++i) EXPECT_EQ(nextBox(shared, {10.0f * i, 50, 0}, {0.5f, 0.5f, 0.5f}), 0u);
  EXPECT_EQ(nextBox(shared, {0, 1, 0}, {0.5f, 0.5f, 0.5f}), 0xfffu);  // those remembered still count
  EXPECT_EQ(nextBox(shared, {2000, 0, 0}, {0.5f, 0.5f, 0.5f}), 0u);
  EXPECT_EQ(nextBox(shared, {2000, 0, 0}, {0.5f, 0.5f, 0.5f}), 0u);
}

}  // namespace
}  // namespace zorvel::test
