// The frames of a run computed in memory, held to the path file the frame loop writes
// for the same particles as the viewer reads it back; and the velocity chosen for a
// number of frames.

#include <gtest/gtest.h>

#include <sstream>

#include "cruncher/FrameLoop.h"
#include "cruncher/MemoryFrames.h"
#include "cruncher/PixelImage.h"
#include "tests/CruncherPictures.h"
#include "tests/TestSupport.h"
#include "viewer/PathFileReader.h"

namespace zorvel::test {
namespace {

// A 70 x 60 picture (two ranges of particles), each particle with its own velocity,
// at heights 0 to 3, scattered with `seed`.
PixelImage scatteredPicture(std::uint32_t seed) {
  PixelImage image = imageOfSize(70, 60);
  for (std::size_t k = 0; k < image.records.size(); ++k)
    image.records[k].velocityScalar = PixelImage::velocityScalarFor(static_cast<float>(k % 256), 0.3, 2.5);
  image.placeOnGrid();
  std::vector<float> heights(image.records.size());
  for (std::size_t k = 0; k < heights.size(); ++k) heights[k] = static_cast<float>(k * 37 % 256);
  image.applyHeightOffsets(heights.data(), heights.size(), 3.0f);
  image.scatterVolumeScalar = {2, 3, 4};
  std::ostringstream out;
  image.scatter(seed, out);
  return image;
}

struct NoListener : PathCacheListener {
  void counts(std::uint32_t, std::int32_t) override {}
  void frameCached(std::int32_t, bool) override {}
};

TEST(MemoryFrames, EveryFrameIsThePathFileAsTheViewerReadsItBack) {
  ScratchFolder folder;
  PixelImage image = scatteredPicture(20261208);
  const std::vector<MovingParticle> start = startingParticles(image.records);
  ASSERT_TRUE(calculateFrames(
      image.records, folder.file("p.pPath"), [](std::int32_t, bool) {}, 2));
  NoListener quiet;
  const std::string text = folder.read("p.pPath");
  const Result<ParticleAnimation> file = cachePathText(text, quiet, std::uint64_t{1} << 32);
  ASSERT_TRUE(file);
  ASSERT_GT(file->frameCount(), 200);

  for (const unsigned threads : {1u, 3u})
    EXPECT_EQ(frameCountFor(stepsHome(start, threads)), file->frameCount()) << threads << " threads";
  // One stepper writing every frame, one every third from frame 1, as two drawing
  // threads would: each frame bit for bit the file's.
  for (const std::int32_t step : {1, 3}) {
    FrameStepper stepper(start);
    std::vector<float> coordinates(start.size() * 3);
    for (std::int32_t f = step == 1 ? 0 : 1; f < file->frameCount(); f += step) {
      stepper.writeFrame(f, coordinates.data());
      const ParticleFrame expected = file->frame(f);
      for (std::size_t i = 0; i < coordinates.size(); ++i)
        ASSERT_EQ(coordinates[i], expected.coordinates[i]) << "frame " << f << ", coordinate " << i;
    }
  }
}

TEST(MemoryFrames, TheVelocityForAFrameCountIsTheOneWhoseFramesComeNearest) {
  const std::vector<MovingParticle> start = startingParticles(scatteredPicture(7).records);
  for (const std::int64_t wanted : {40, 100, 333}) {
    SCOPED_TRACE(wanted);
    const double velocity = velocityForFrames(start, wanted);
    const std::int64_t frames = estimatedFrames(start, velocity);
    // No velocity a thousandth faster or slower comes nearer.
    for (const double other : {velocity - 0.001, velocity + 0.001})
      EXPECT_LE(std::llabs(frames - wanted), std::llabs(estimatedFrames(start, other) - wanted)) << other;
    // The estimate is what stepping the particles with that velocity gives.
    std::vector<MovingParticle> moving = start;
    for (MovingParticle& m : moving) m.velocity = PixelImage::velocityScalarFor(0.0f, velocity, velocity);
    const std::int64_t stepped = frameCountFor(stepsHome(moving));
    EXPECT_NEAR(stepped, frames, 1);
    // Rounding may make the estimate long by a frame, never short: a duration asked for
    // is never cut.
    EXPECT_GE(frames, stepped);
  }
  // Particles already home: their one frame, estimated and stepped alike.
  std::vector<MovingParticle> home = start;
  for (MovingParticle& m : home) m.position = m.home;
  for (const double velocity : {0.01, 1.0, 20.0}) EXPECT_EQ(estimatedFrames(home, velocity), 1) << velocity;
  EXPECT_EQ(frameCountFor(stepsHome(home)), 1);
  // Beyond what the velocities reach: the fastest, or the slowest.
  EXPECT_EQ(velocityForFrames(start, 2), 20.0);
  EXPECT_EQ(velocityForFrames(start, 10000000), 0.01);
}

}  // namespace
}  // namespace zorvel::test
