// The grouping of things drawn in turn into layers that can each be drawn at once.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "playback/DrawingLayers.h"

namespace zorvel::test {
namespace {

bool meet(const PixelRect& a, const PixelRect& b) {
  return a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top;
}

TEST(DrawingLayers, ThingsThatMayShareAPixelKeepTheirOrderAndALayerNeverHoldsTwoOfThem) {
  std::mt19937 random(20261209);
  std::uniform_real_distribution<double> position(-40, 680), size(0, 30);
  DrawingLayers layers;
  for (const int cell : {1, 8, 50}) {
    layers.begin(640, 480, cell);
    std::vector<PixelRect> areas;
    std::vector<std::uint32_t> placed;
    for (int i = 0; i < 3000; ++i) {
      const double x = position(random), y = position(random) * 0.75;
      areas.push_back({x, y, x + size(random), y + size(random)});
      placed.push_back(layers.place(areas.back()));
    }
    std::uint32_t highest = 0;
    for (std::size_t j = 0; j < areas.size(); ++j) {
      highest = std::max(highest, placed[j]);
      for (std::size_t i = 0; i < j; ++i) {
        if (meet(areas[i], areas[j])) {
          ASSERT_LT(placed[i], placed[j]) << "cell " << cell << ", things " << i << ", " << j;
        }
      }
    }
    EXPECT_EQ(layers.count(), highest + 1);
    // Things far apart share a layer: the layers are far fewer than the things.
    EXPECT_LT(layers.count(), areas.size() / 4) << "cell " << cell;
  }
}

TEST(DrawingLayers, AnUnknownAreaCoversTheWholeScreenAndOffScreenPartsCountAsItsEdge) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  DrawingLayers layers;
  layers.begin(100, 100, 10);
  EXPECT_EQ(layers.count(), 0u);
  EXPECT_EQ(layers.place({0, 0, 5, 5}), 0u);
  EXPECT_EQ(layers.place({90, 90, 99, 99}), 0u);
  EXPECT_EQ(layers.place({kNaN, kNaN, kNaN, kNaN}), 1u);  // above both
  EXPECT_EQ(layers.place({40, 40, 45, 45}), 2u);          // and everything after it above it
  EXPECT_EQ(layers.place({30, 30, 20, 40}), 3u);          // turned inside out: anywhere
  // Beyond the right edge meets what lies on the right edge, and nothing else.
  EXPECT_EQ(layers.place({500, 10, 900, 15}), 4u);
  EXPECT_EQ(layers.place({95, 12, 99, 14}), 5u);
  EXPECT_EQ(layers.place({0, 12, 5, 14}), 4u);
  EXPECT_EQ(layers.count(), 6u);
  // A new picture starts empty.
  layers.begin(100, 100, 10);
  EXPECT_EQ(layers.place({40, 40, 45, 45}), 0u);
  EXPECT_EQ(layers.count(), 1u);
}

}  // namespace
}  // namespace zorvel::test
