// The boxes' corner tables and the ground grid, as the drawing submits them.

#include <gtest/gtest.h>

#include "playback/BoxGeometry.h"

namespace zorvel::test {
namespace {

TEST(BoxGeometry, FacesAndEdgesInDrawingOrder) {
  std::vector<Vector3> solid(kSolidBoxVertices);
  EXPECT_EQ(writeSolidBox(solid.data(), {1, 2, 3}, {0.5f, 0.5f, 2.0f}), solid.data() + 36);
  // Front face at z + h, corners (x-h, y-h), (x+h, y-h), (x+h, y+h), (x-h, y+h).
  EXPECT_EQ(solid[0], (Vector3{0.5f, 1.5f, 5}));
  EXPECT_EQ(solid[1], (Vector3{1.5f, 1.5f, 5}));
  EXPECT_EQ(solid[2], (Vector3{1.5f, 2.5f, 5}));
  EXPECT_EQ(solid[5], (Vector3{0.5f, 2.5f, 5}));
  // Bottom face last, at y - h.
  for (int i = 30; i < 36; ++i) EXPECT_EQ(solid[i].y, 1.5f);

  std::vector<Vector3> wire(kWireBoxVertices);
  EXPECT_EQ(writeWireBox(wire.data(), {0, 0, 0}, {1, 1, 1}), wire.data() + 24);
  EXPECT_EQ(wire[0], (Vector3{-1, -1, 1}));  // first vertical edge
  EXPECT_EQ(wire[1], (Vector3{-1, 1, 1}));
  EXPECT_EQ(wire[8], (Vector3{-1, 1, 1}));   // top loop starts at the first corner
  EXPECT_EQ(wire[15], (Vector3{-1, 1, 1}));  // and closes on it
  EXPECT_EQ(wire[16].y, -1.0f);              // then the bottom loop

  EXPECT_EQ(gridLines().size(), 84u);
}

}  // namespace
}  // namespace zorvel::test
