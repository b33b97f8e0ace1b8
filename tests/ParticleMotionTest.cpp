// The particle arithmetic and the frame loop: where a wrong rounding would change a
// file, the numbers are pinned here.

#include <gtest/gtest.h>

#include <sstream>

#include "cruncher/FrameLoop.h"
#include "cruncher/PixelImage.h"
#include "cruncher/RandomGenerator.h"
#include "tests/TestSupport.h"

namespace zorvel::test {
namespace {

PixelImage imageOfSize(int width, int height) {
  PixelImage image;
  image.width = static_cast<float>(width);
  image.height = static_cast<float>(height);
  image.records.resize(static_cast<std::size_t>(width * height));
  image.pixelCount = static_cast<std::uint32_t>(width * height);
  return image;
}

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

// ---- Frames, read back from the path file.

struct PathFile {
  std::uint32_t pixels = 0;
  int frames = 0;
  std::vector<std::vector<Vector3>> positions;
};

PathFile readPathFile(const std::string& text) {
  std::istringstream in(text);
  PathFile path;
  in >> path.pixels >> path.frames;
  for (int f = 0; f < path.frames; ++f) {
    int number = -1;
    in >> number;
    EXPECT_EQ(number, f);
    std::vector<Vector3> frame(path.pixels);
    for (Vector3& v : frame) in >> v.x >> v.y >> v.z;
    path.positions.push_back(frame);
  }
  EXPECT_TRUE(static_cast<bool>(in));
  std::string rest;
  EXPECT_FALSE(in >> rest) << "unexpected text after the last frame: " << rest;
  return path;
}

class FrameLoop : public ::testing::Test {
 protected:
  PathFile run(PixelImage& image) {
    std::string progress;
    const FrameLoopResult result =
        calculateFrames(image.records, folder.file("p.tga.pPath"), [&progress](std::int32_t frame, bool done) {
          progress += done ? "done\n" : "Calculating frame " + std::to_string(frame) + "...";
        });
    EXPECT_TRUE(result.written);
    PathFile path = readPathFile(folder.read("p.tga.pPath"));
    EXPECT_EQ(path.frames, result.frameCount);
    std::string expected;
    for (int f = 0; f < result.frameCount; ++f) expected += "Calculating frame " + std::to_string(f) + "...done\n";
    EXPECT_EQ(progress, expected);
    return path;
  }
  ScratchFolder folder;
};

TEST_F(FrameLoop, StepsAlongTheLargestAxisWithTiesToTheEarlierAxis) {
  PixelImage image = imageOfSize(1, 1);
  image.placeOnGrid();
  image.records[0].position = image.records[0].nextPosition = {-3.0f, 1.0f, 0.0f};
  const PathFile path = run(image);
  ASSERT_EQ(path.frames, 5);  // x, x, x (the tie at 1 and 1 goes to x), then y
  const std::vector<Vector3> expected = {{-3, 1, 0}, {-2, 1, 0}, {-1, 1, 0}, {0, 1, 0}, {0, 0, 0}};
  for (int f = 0; f < 5; ++f) EXPECT_EQ(path.positions[f][0], expected[f]) << "frame " << f;
}

TEST_F(FrameLoop, ALastStepShorterThanTheVelocityLandsExactlyHome) {
  PixelImage image = imageOfSize(2, 1);
  image.placeOnGrid();
  image.records[0].velocityScalar = image.records[1].velocityScalar = 2.0f;
  image.records[0].position = image.records[0].nextPosition = {-3.5f, 0.0f, 0.0f};  // home -0.5
  image.records[1].position = image.records[1].nextPosition = {3.5f, 0.0f, 0.0f};   // home 0.5
  const PathFile path = run(image);
  ASSERT_EQ(path.frames, 3);
  EXPECT_EQ(path.positions[1][0].x, -1.5f);
  EXPECT_EQ(path.positions[1][1].x, 1.5f);
  EXPECT_EQ(path.positions[2][0].x, -0.5f);
  EXPECT_EQ(path.positions[2][1].x, 0.5f);
}

TEST_F(FrameLoop, ParticlesStartingAtHomeGiveOneFrame) {
  PixelImage image = imageOfSize(2, 2);
  image.placeOnGrid();
  const PathFile path = run(image);
  ASSERT_EQ(path.frames, 1);
  EXPECT_EQ(path.positions[0][3], (Vector3{0.5f, 0.5f, 0.0f}));
}

TEST_F(FrameLoop, HeaderStaysParseableForThousandsOfFrames) {
  PixelImage image = imageOfSize(1, 1);
  image.placeOnGrid();
  image.records[0].velocityScalar = 0.009f;
  image.records[0].position = image.records[0].nextPosition = {-12.0f, 0.0f, 0.0f};
  const PathFile path = run(image);
  EXPECT_EQ(path.frames, 1335);  // 1333 steps of 0.009, one of the 0.003 left, then home
  EXPECT_EQ(path.positions.back()[0], (Vector3{}));
  const std::string text = folder.read("p.tga.pPath");
  EXPECT_EQ(text.substr(0, text.find('\n')), "1 1335      ");
}

TEST_F(FrameLoop, PathFilesFromOneAndSeveralThreadsAreByteIdentical) {
  // 70 x 60 pixels, enough for two ranges of particles; velocities that differ from
  // particle to particle, so that the ranges come home at different frames.
  for (const std::uint32_t seed : {7u, 20261208u}) {
    std::string files[3];
    for (unsigned threads = 1; threads <= 3; ++threads) {
      PixelImage image = imageOfSize(70, 60);
      for (std::size_t k = 0; k < image.records.size(); ++k)
        image.records[k].velocityScalar = PixelImage::velocityScalarFor(static_cast<float>(k % 256), 0.3, 2.5);
      image.placeOnGrid();
      image.applyUniformHeight(2.0f);
      image.scatterVolumeScalar = {2, 3, 4};
      std::ostringstream out;
      image.scatter(seed, out);
      const FrameLoopResult result =
          calculateFrames(image.records, folder.file("p.pPath"), [](std::int32_t, bool) {}, threads);
      ASSERT_TRUE(result.written);
      files[threads - 1] = folder.read("p.pPath");
    }
    EXPECT_GT(files[0].size(), 1000000u);
    EXPECT_TRUE(files[1] == files[0]) << "two threads, seed " << seed;
    EXPECT_TRUE(files[2] == files[0]) << "three threads, seed " << seed;
  }
}

}  // namespace
}  // namespace zorvel::test
