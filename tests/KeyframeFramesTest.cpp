// The blend: integer colour steps, displacement, frame order and stepping.

#include <gtest/gtest.h>

#include <sstream>

#include "blender/BlendPlayback.h"
#include "blender/ConfigurationReading.h"
#include "blender/KeyframeFrames.h"
#include "tests/TestSupport.h"

namespace zorvel::test {
namespace {

constexpr std::uint64_t kPlentyOfMemory = std::uint64_t{1} << 40;

// A configuration of keyframes of `pixels` pixels in the given colours and counts.
BlenderConfig configOf(const std::vector<std::vector<ColorRGBA>>& colours, const std::vector<std::uint16_t>& counts,
                       float minDisplacement = 0.5f, float maxDisplacement = 6.0f) {
  BlenderConfig config;
  config.keyframeCount = static_cast<std::uint16_t>(colours.size());
  config.minDisplacement = minDisplacement;
  config.maxDisplacement = maxDisplacement;
  config.inbetweenCounts = counts;
  for (const auto& image : colours) {
    KeyframeImage keyframe;
    keyframe.width = static_cast<float>(image.size());
    keyframe.height = 1;
    for (const ColorRGBA& c : image) keyframe.records.push_back({c, {}});
    layOutPixels(keyframe);
    config.keyframes.push_back(std::make_shared<KeyframeImage>(keyframe));
  }
  config.configLoaded = true;
  return config;
}

TEST(Blending, TruncatesTowardZeroSoTheWayBackIsNoMirror) {
  const BlenderConfig config = configOf({{{0, 0, 0, 255}}, {{255, 0, 0, 255}}}, {4, 4});
  const BlendFrames frames = buildFrames(config, kPlentyOfMemory).value();
  ASSERT_EQ(frames.store.frameCount, 8);
  std::vector<std::uint32_t> reds;
  for (int f = 0; f < 8; ++f) reds.push_back(frames.store.frameRed[frames.store.at(f, 0)]);
  EXPECT_EQ(reds, (std::vector<std::uint32_t>{63, 127, 191, 255, 192, 128, 64, 0}));
  for (int f = 0; f < 8; ++f) EXPECT_EQ(frames.store.frameAlpha[frames.store.at(f, 0)], 255u);
}

TEST(Blending, ASingleKeyframeGivesIdenticalFrames) {
  const BlenderConfig config = configOf({{{10, 20, 30, 255}, {1, 2, 3, 255}}}, {3});
  const BlendFrames frames = buildFrames(config, kPlentyOfMemory).value();
  ASSERT_EQ(frames.store.frameCount, 3);
  for (int f = 0; f < 3; ++f) {
    EXPECT_EQ(frames.store.frameGreen[frames.store.at(f, 0)], 20u);
    EXPECT_EQ(frames.store.frameBlue[frames.store.at(f, 1)], 3u);
  }
}

TEST(Blending, ThreeSegmentsRunInOrderAndTheLastFrameShowsKeyframeZero) {
  const BlenderConfig config = configOf({{{0, 0, 0, 255}}, {{90, 0, 0, 255}}, {{30, 0, 0, 255}}}, {2, 3, 4});
  const BlendFrames frames = buildFrames(config, kPlentyOfMemory).value();
  std::vector<std::uint32_t> reds;
  for (int f = 0; f < frames.store.frameCount; ++f) reds.push_back(frames.store.frameRed[frames.store.at(f, 0)]);
  EXPECT_EQ(reds, (std::vector<std::uint32_t>{45, 90, 70, 50, 30, 23, 15, 8, 0}));
}

TEST(Blending, PixelsAnImageLacksAreBlack) {
  BlenderConfig config = configOf({{{200, 200, 200, 255}, {200, 200, 200, 255}}, {{100, 100, 100, 255}}}, {1, 1});
  const BlendFrames frames = buildFrames(config, kPlentyOfMemory).value();
  EXPECT_EQ(frames.store.frameRed[frames.store.at(0, 0)], 100u);
  EXPECT_EQ(frames.store.frameRed[frames.store.at(0, 1)], 0u);
}

TEST(Blending, AStoreLargerThanTheMemoryGivenIsRefusedBeforeAnythingIsBuilt) {
  // Two keyframes of 3 pixels, 4 + 5 frames: 9 x 3 x 20 bytes of frames and 2 x 3 x 4
  // bytes of keyframe colours, 564 bytes in all.
  const BlenderConfig config = configOf(
      {{{0, 0, 0, 255}, {1, 1, 1, 255}, {2, 2, 2, 255}}, {{9, 9, 9, 255}, {8, 8, 8, 255}, {7, 7, 7, 255}}}, {4, 5});
  EXPECT_EQ(blendBytes(config), 564u);
  EXPECT_TRUE(buildFrames(config, 564));
  const Result<BlendFrames> refused = buildFrames(config, 563);
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.failure().reason, "Not enough memory for 9 frames of 3 pixels (0 MB).");
}

TEST(Blending, AConfigurationsMinimumGoesToBlackAndItsMaximumToWhite) {
  ScratchFolder folder;
  // One row: a white pixel, then a black one.
  TgaHeader header;
  header.width = 2;
  folder.write("wb.tga", tgaFile(header, {255, 255, 255, 0, 0, 0}));
  const std::string text =
      "#MORVAINE_CONFIGURATION_FILE #NUMBER_OF_KEYFRAMES 1 #MINDISPLACEMENT 0.5 #MAXDISPLACEMENT 6 #IMAGEPATH " +
      folder.file("wb.tga") + " #NUMBER_OF_INTERPOLATION_FRAMES 2";
  BlenderConfig config;
  std::ostringstream out, err;
  ASSERT_TRUE(applyConfigurationText(config, text, out, err, "Morvaine", kPlentyOfMemory)) << err.str();
  const BlendFrames frames = buildFrames(config, kPlentyOfMemory).value();
  ASSERT_EQ(frames.store.frameCount, 2);
  for (int f = 0; f < 2; ++f) {
    ASSERT_EQ(frames.store.frameRed[frames.store.at(f, 0)], 255u);
    ASSERT_EQ(frames.store.frameRed[frames.store.at(f, 1)], 0u);
    EXPECT_EQ(frames.store.frameDisplacement[frames.store.at(f, 0)], 6.0f);
    EXPECT_EQ(frames.store.frameDisplacement[frames.store.at(f, 1)], 0.5f);
  }
}

TEST(Displacement, FollowsBrightnessBetweenTheBounds) {
  EXPECT_EQ(computeDisplacement({0, 0, 0, 255}, 0.5f, 6.0f), 0.5f);
  EXPECT_EQ(computeDisplacement({255, 255, 255, 255}, 0.5f, 6.0f), 6.0f);
  EXPECT_NEAR(computeDisplacement({128, 128, 128, 255}, 0.5f, 6.0f), 3.2608f, 1e-4);
  EXPECT_NEAR(computeDisplacement({255, 0, 0, 255}, 0.5f, 6.0f), 2.3333f, 1e-4);
  EXPECT_EQ(computeDisplacement({12, 200, 7, 0}, 2.5f, 2.5f), 2.5f);
  EXPECT_EQ(computeDisplacement({255, 255, 255, 255}, 6.0f, 0.5f), 0.5f);  // an inverted range
}

TEST(Stepping, SegmentsOfTwoThreeAndFourFramesLoopAfterNine) {
  const BlenderConfig config = configOf({{{0, 0, 0, 255}}, {{1, 1, 1, 255}}, {{2, 2, 2, 255}}}, {2, 3, 4});
  const BlendFrames frames = buildFrames(config, kPlentyOfMemory).value();
  BlendPlayback p = startOfBlend(frames.keyframes);
  std::vector<std::int32_t> shown, keyframes;
  for (int i = 0; i < 10; ++i) {
    shown.push_back(p.currentFrame);
    keyframes.push_back(p.currentKeyframe);
    stepBlend(p, frames.keyframes);
  }
  EXPECT_EQ(shown, (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 0}));
  EXPECT_EQ(keyframes, (std::vector<std::int32_t>{0, 0, 1, 1, 1, 2, 2, 2, 2, 0}));
}

TEST(Stepping, SegmentsWithoutFramesArePassedOver) {
  KeyframeSet set;
  for (int count : {0, 2, 0, 1, 0}) set.keyframes.push_back({{}, count});
  BlendPlayback p = startOfBlend(set);
  std::vector<std::pair<int, int>> seen;
  for (int i = 0; i < 7; ++i) {
    seen.emplace_back(p.currentFrame, p.currentKeyframe);
    stepBlend(p, set);
  }
  EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{0, 1}, {1, 1}, {2, 3}, {0, 1}, {1, 1}, {2, 3}, {0, 1}}));
}

TEST(KeyframeLayout, PlacesRowsBottomUpOnAUnitGrid) {
  KeyframeImage image;
  image.width = 3;
  image.height = 2;
  image.records.resize(6);
  layOutPixels(image);
  const std::vector<Vector3> expected = {{-1, -0.5f, 0}, {0, -0.5f, 0}, {1, -0.5f, 0},
                                         {-1, 0.5f, 0},  {0, 0.5f, 0},  {1, 0.5f, 0}};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(image.records[k].position, expected[k]) << k;
}

}  // namespace
}  // namespace zorvel::test
