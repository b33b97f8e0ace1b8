// The cruncher's picture before it moves: velocity scalars and height offsets from
// attribute values, the home grid and the scattering. Where a wrong rounding would
// change a file, the numbers are pinned here.

#include <gtest/gtest.h>

#include <sstream>

#include "cruncher/PixelImage.h"
#include "cruncher/RandomGenerator.h"
#include "tests/CruncherPictures.h"

namespace zorvel::test {
namespace {

TEST(VelocityScalar, IsTruncatedToThousandthsWithAFloorOfOneHundredth) {
  EXPECT_FLOAT_EQ(PixelImage::velocityScalarFor(0.7f, 0.7, 0.7), 0.699f);
  EXPECT_FLOAT_EQ(PixelImage::velocityScalarFor(0.01f, 0.01, 0.01), 0.009f);
  EXPECT_FLOAT_EQ(PixelImage::velocityScalarFor(1.0f, 1.0, 1.0), 1.0f);
  EXPECT_FLOAT_EQ(PixelImage::velocityScalarFor(0.0f, 0.001, 0.001), 0.009f);  // below the floor
  EXPECT_FLOAT_EQ(PixelImage::velocityScalarFor(20.0f, 20.0, 20.0), 20.0f);
}

TEST(VelocityScalar, MapsGreyLevelsOntoTheMinMaxRange) {
  EXPECT_FLOAT_EQ(PixelImage::velocityScalarFor(0.0f, 0.5, 5.0), 0.5f);
  EXPECT_FLOAT_EQ(PixelImage::velocityScalarFor(255.0f, 0.5, 5.0), 5.0f);
  // 0.5 + 4.5 x 128/255 = 2.7588..., truncated to 2.758.
  EXPECT_FLOAT_EQ(PixelImage::velocityScalarFor(128.0f, 0.5, 5.0), 2.758f);
}

TEST(VelocityScalar, SurplusValuesAreIgnored) {
  PixelImage image = imageOfSize(2, 1);
  const float values[] = {255.0f, 0.0f, 128.0f, 7.0f};
  image.applyVelocities(values, 4, 1.0, 3.0);
  EXPECT_FLOAT_EQ(image.records[0].velocityScalar, 3.0f);
  EXPECT_FLOAT_EQ(image.records[1].velocityScalar, 1.0f);
}

TEST(HeightOffset, GreyLevelsScaleTheMaximumAndTruncate) {
  EXPECT_EQ(PixelImage::heightOffsetFor(255.0f, 50.0f), 50.0f);
  EXPECT_EQ(PixelImage::heightOffsetFor(128.0f, 50.0f), 25.0f);
  EXPECT_EQ(PixelImage::heightOffsetFor(0.0f, 50.0f), 0.0f);
  EXPECT_EQ(PixelImage::heightOffsetFor(255.0f, 12.0f), 12.0f);
}

TEST(HeightOffset, SetsDepthAndBothZOfEveryParticle) {
  PixelImage image = imageOfSize(2, 1);
  image.placeOnGrid();
  const float values[] = {255.0f, 0.0f};
  image.applyHeightOffsets(values, 2, 50.0f);
  EXPECT_EQ(image.depth, 50.0f);
  EXPECT_EQ(image.records[0].homePosition.z, 50.0f);
  EXPECT_EQ(image.records[0].position.z, 50.0f);
  EXPECT_EQ(image.records[1].homePosition.z, 0.0f);

  image.applyUniformHeight(12.0f);
  EXPECT_EQ(image.depth, 12.0f);
  for (const PixelParticle& p : image.records) EXPECT_EQ(p.homePosition.z, 12.0f);
}

TEST(HomePlacement, CentresThePictureWithRowZeroLowest) {
  PixelImage even = imageOfSize(2, 2);
  even.placeOnGrid();
  EXPECT_EQ(even.records[0].homePosition, (Vector3{-0.5f, -0.5f, 0.0f}));
  EXPECT_EQ(even.records[1].homePosition, (Vector3{0.5f, -0.5f, 0.0f}));
  EXPECT_EQ(even.records[2].homePosition, (Vector3{-0.5f, 0.5f, 0.0f}));
  EXPECT_EQ(even.records[3].nextPosition, (Vector3{0.5f, 0.5f, 0.0f}));

  PixelImage odd = imageOfSize(3, 1);
  odd.placeOnGrid();
  EXPECT_EQ(odd.records[0].homePosition, (Vector3{-1.0f, 0.0f, 0.0f}));
  EXPECT_EQ(odd.records[2].position, (Vector3{1.0f, 0.0f, 0.0f}));
}

TEST(RandomGenerator, IsTheClassicLinearCongruentialSequence) {
  RandomGenerator one(1);
  EXPECT_EQ(one.draw(), 41);
  EXPECT_EQ(one.draw(), 18467);
  EXPECT_EQ(one.draw(), 6334);
  RandomGenerator zero(0);
  EXPECT_EQ(zero.draw(), 38);
}

// A generator that hands out given draws.
struct ScriptedDraws {
  std::vector<int> draws;
  std::size_t next = 0;
  int draw() { return draws.at(next++); }
};

TEST(Scattering, TheTopDrawStaysInsideTheVolume) {
  PixelImage image = imageOfSize(100, 2);
  image.scatterVolumeScalar = {2, 20, 20};
  std::ostringstream out;
  image.scatter(1, out);
  EXPECT_EQ(image.scatterVolumeSize, (Vector3{202.0f, 42.0f, 22.0f}));
  ScriptedDraws top{{32767, 32767, 32767}};
  // W x sigma = 200: the top draw gives cell 199; 200 is even, so + 0.5 applies.
  const Vector3 p = image.randomPosition(top);
  EXPECT_EQ(p.x, 199.0f - 101.0f + 0.5f);
  EXPECT_EQ(p.y, 39.0f - 21.0f + 0.5f);
  EXPECT_EQ(p.z, 19.0f - 11.0f);  // depth 1 is odd: no half unit
  ScriptedDraws bottom{{0, 0, 0}};
  EXPECT_EQ(image.randomPosition(bottom), (Vector3{-100.5f, -20.5f, -11.0f}));
}

TEST(Scattering, TheVolumeOfAHundredSquareImageWithSigmaTwenty) {
  PixelImage image = imageOfSize(100, 100);
  image.scatterVolumeScalar = {20, 20, 20};
  std::ostringstream out;
  image.scatter(7, out);
  EXPECT_EQ(image.scatterVolumeSize, (Vector3{2002.0f, 2002.0f, 22.0f}));
  EXPECT_EQ(out.str(), "");
}

TEST(Scattering, ScalarsBelowOneAreRaisedWithAMessagePerAxis) {
  PixelImage image = imageOfSize(1, 1);
  image.scatterVolumeScalar = {0.5f, 3.0f, 0.0f};
  std::ostringstream out;
  image.scatter(7, out);
  EXPECT_EQ(out.str(),
            "scatterVolumeScalar.x was less than 1.0. Defaulted to 1.0.\n"
            "scatterVolumeScalar.z was less than 1.0. Defaulted to 1.0.\n");
  EXPECT_EQ(image.scatterVolumeScalar, (Vector3{1.0f, 3.0f, 1.0f}));
}

TEST(Scattering, LeavesNoTwoParticlesOnOnePositionAndKeepsHomes) {
  PixelImage image = imageOfSize(20, 10);
  image.placeOnGrid();
  image.scatterVolumeScalar = {2, 2, 2};
  std::ostringstream out;
  image.scatter(12345, out);
  for (std::size_t i = 0; i < image.records.size(); ++i) {
    EXPECT_EQ(image.records[i].position, image.records[i].nextPosition);
    for (std::size_t j = i + 1; j < image.records.size(); ++j)
      ASSERT_NE(image.records[i].position, image.records[j].position) << i << " and " << j;
  }
  EXPECT_EQ(image.records[0].homePosition, (Vector3{-9.5f, -4.5f, 0.0f}));
}

}  // namespace
}  // namespace zorvel::test
