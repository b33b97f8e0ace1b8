// The boxes' corner tables and the ground grid, as the drawing submits them.

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

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

// Face bits in drawing order: front, right, back, left, top, bottom.
constexpr unsigned kFront = 1, kRight = 2, kBack = 4, kLeft = 8, kTop = 16, kBottom = 32;

TEST(BoxGeometry, TheFacesThatShowAreThoseTheEyeLooksAtFromOutside) {
  const Vector3 centre{1, 2, 3};
  const HalfExtents h{0.5f, 0.5f, 2.0f};
  const double frontRightTop[3] = {5, 4, 9};
  EXPECT_EQ(visibleFaces(frontRightTop, centre, h), kFront | kRight | kTop);
  const double backLeftBelow[3] = {-5, -4, -9};
  EXPECT_EQ(visibleFaces(backLeftBelow, centre, h), kBack | kLeft | kBottom);
  // Straight in front, within the box's x and y: the front face alone.
  const double ahead[3] = {1.2, 2.1, 20};
  EXPECT_EQ(visibleFaces(ahead, centre, h), kFront);
  // In the plane of the right face: it may show, edge on.
  const double inRightPlane[3] = {1.5, 2, 20};
  EXPECT_EQ(visibleFaces(inRightPlane, centre, h), kFront | kRight);
  // Inside the box, every face is seen from within.
  const double inside[3] = {1.1, 2.2, 4};
  EXPECT_EQ(visibleFaces(inside, centre, h), kFront | kRight | kBack | kLeft | kTop | kBottom);
  // A negative depth puts the "front" face behind: from the front, the "back" one shows.
  EXPECT_EQ(visibleFaces(ahead, centre, {0.5f, 0.5f, -2.0f}), kBack);
  // No depth: the front and back faces lie in one plane, and the front stands for both,
  // seen from either side.
  EXPECT_EQ(visibleFaces(ahead, centre, {0.5f, 0.5f, 0.0f}), kFront);
  const double behind[3] = {1.2, 2.1, -20};
  EXPECT_EQ(visibleFaces(behind, centre, {0.5f, 0.5f, 0.0f}), kFront);
}

TEST(BoxGeometry, AnEdgeIsHiddenWhenTheEyeSeesNeitherFaceThatMeetsAtIt) {
  // Eyes all round a box, none near a face's plane. Each edge lies in two faces' planes:
  // the two axes on which its ends agree. It is hidden when the eye lies on the inner
  // side of both.
  std::mt19937 random(20261209);
  std::uniform_real_distribution<double> coordinate(-6, 6);
  const Vector3 centre{1, 2, 3};
  const HalfExtents h{0.5f, 1.0f, 2.0f};
  const float centres[3] = {centre.x, centre.y, centre.z}, halves[3] = {h.x, h.y, h.z};
  std::vector<Vector3> ends(kWireBoxVertices);
  writeWireBox(ends.data(), centre, h);
  int counted[13] = {}, eyes = 0;
  for (int trial = 0; trial < 2000; ++trial) {
    double eye[3];
    for (int a = 0; a < 3; ++a) eye[a] = centres[a] + coordinate(random);
    bool nearAPlane = false, inside = true;
    for (int a = 0; a < 3; ++a) {
      const double off = std::fabs(eye[a] - centres[a]);
      nearAPlane = nearAPlane || std::fabs(off - halves[a]) < 0.01;
      inside = inside && off < halves[a];
    }
    if (nearAPlane || inside) continue;
    ++eyes;
    const unsigned hidden = edgesBetweenHiddenFaces(visibleFaces(eye, centre, h));
    int count = 0;
    for (std::size_t edge = 0; edge < kWireBoxVertices / 2; ++edge) {
      const Vector3& from = ends[2 * edge];
      const Vector3& to = ends[2 * edge + 1];
      const float p[3] = {from.x, from.y, from.z};
      const float q[3] = {to.x, to.y, to.z};
      bool seesAFace = false;
      for (int a = 0; a < 3; ++a)
        if (p[a] == q[a]) seesAFace = seesAFace || (eye[a] - centres[a]) * (p[a] - centres[a]) > halves[a] * halves[a];
      EXPECT_EQ((hidden >> edge) & 1u, seesAFace ? 0u : 1u) << "edge " << edge << ", trial " << trial;
      count += !seesAFace;
    }
    ++counted[count];
  }
  // One face showing hides 8 edges, two hide 5, three hide 3; all three are met.
  EXPECT_GT(counted[8], 0);
  EXPECT_GT(counted[5], 0);
  EXPECT_GT(counted[3], 0);
  EXPECT_EQ(counted[8] + counted[5] + counted[3], eyes);
  EXPECT_GT(eyes, 1500);
  // Every face showing (the eye inside) hides none.
  EXPECT_EQ(edgesBetweenHiddenFaces((1u << 6) - 1), 0u);
}

}  // namespace
}  // namespace zorvel::test
