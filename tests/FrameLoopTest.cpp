// The cruncher's frame loop, read back from the path file it writes: the steps, the
// header, and files that do not depend on the number of threads.

#include <gtest/gtest.h>

#include <sstream>

#include "cruncher/FrameLoop.h"
#include "cruncher/PixelImage.h"
#include "tests/CruncherPictures.h"
#include "tests/TestSupport.h"

namespace zorvel::test {
namespace {

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
    const Result<std::int32_t> frames =
        calculateFrames(image.records, folder.file("p.tga.pPath"), [&progress](std::int32_t frame, bool done) {
          progress += done ? "done\n" : "Calculating frame " + std::to_string(frame) + "...";
        });
    EXPECT_TRUE(frames);
    PathFile path = readPathFile(folder.read("p.tga.pPath"));
    EXPECT_EQ(path.frames, frames ? frames.value() : -1);
    std::string expected;
    for (int f = 0; f < path.frames; ++f) expected += "Calculating frame " + std::to_string(f) + "...done\n";
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

// A picture of 70 x 60 pixels, enough for two ranges of particles, each with the
// velocity `velocity(k)`, scattered with `seed`; its path file written with `threads`
// threads.
template <class Velocity>
std::string pathFileText(ScratchFolder& folder, std::uint32_t seed, unsigned threads, Velocity velocity) {
  PixelImage image = imageOfSize(70, 60);
  for (std::size_t k = 0; k < image.records.size(); ++k) image.records[k].velocityScalar = velocity(k);
  image.placeOnGrid();
  image.applyUniformHeight(2.0f);
  image.scatterVolumeScalar = {2, 3, 4};
  std::ostringstream out;
  image.scatter(seed, out);
  EXPECT_TRUE(calculateFrames(
      image.records, folder.file("p.pPath"), [](std::int32_t, bool) {}, threads));
  return folder.read("p.pPath");
}

TEST_F(FrameLoop, PathFilesFromOneAndSeveralThreadsAreByteIdentical) {
  // Velocities that differ from particle to particle, so that the ranges come home at
  // different frames.
  const auto mixed = [](std::size_t k) { return PixelImage::velocityScalarFor(static_cast<float>(k % 256), 0.3, 2.5); };
  for (const std::uint32_t seed : {7u, 20261208u}) {
    std::string files[3];
    for (unsigned threads = 1; threads <= 3; ++threads) files[threads - 1] = pathFileText(folder, seed, threads, mixed);
    EXPECT_GT(files[0].size(), 1000000u);
    EXPECT_TRUE(files[1] == files[0]) << "two threads, seed " << seed;
    EXPECT_TRUE(files[2] == files[0]) << "three threads, seed " << seed;
  }
}

TEST_F(FrameLoop, AnEarlierRangeSlowerThanTheLastKeepsTheLoopGoingUntilItIsHome) {
  // The first half of the particles slow, the second fast: the last range is home long
  // before the first.
  const auto slowThenFast = [](std::size_t k) { return k < std::size_t{70} * 30 ? 0.3f : 2.5f; };
  const std::string oneThread = pathFileText(folder, 11, 1, slowThenFast);
  const std::string twoThreads = pathFileText(folder, 11, 2, slowThenFast);
  EXPECT_TRUE(twoThreads == oneThread);
  const PathFile path = readPathFile(twoThreads);
  ASSERT_GT(path.frames, 300);
  PixelImage home = imageOfSize(70, 60);
  home.placeOnGrid();
  home.applyUniformHeight(2.0f);
  for (std::size_t k = 0; k < home.records.size(); ++k)
    ASSERT_EQ(path.positions.back()[k], home.records[k].homePosition) << "particle " << k;
}

}  // namespace
}  // namespace zorvel::test
