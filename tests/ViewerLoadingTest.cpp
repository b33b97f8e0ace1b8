// Loading the cruncher's files into the viewer's scene.

#include <gtest/gtest.h>

#include <sstream>

#include "ParticleDataLoader.h"
#include "TestSupport.h"

namespace zorvel::test {
namespace {

class SceneLoading : public ::testing::Test {
 protected:
  SceneLoading() { scene.allocatePixels(3); }
  std::string lines() {
    std::string text = out.str();
    out.str("");
    return text;
  }
  ViewerAttributes attributes;
  ViewerScene scene;
  ScratchFolder folder;
  std::ostringstream out;
};

TEST_F(SceneLoading, ColourValuesAreKeptAsReadEvenAboveAByte) {
  folder.write("c.pColor", "3\n300 2 3 4 \n5 6 7 8 \n9 10 11 12 \n");
  attributes.pColorFile = folder.file("c.pColor");
  loadColourFile(attributes, scene, out);
  EXPECT_EQ(lines(), "Caching pColor-file...done\n\n");
  EXPECT_EQ(scene.pixelRed, (std::vector<std::int32_t>{300, 5, 9}));
  EXPECT_EQ(scene.pixelAlpha, (std::vector<std::int32_t>{4, 8, 12}));
  // The opacity stage always writes alpha: without a file every pixel is opaque again.
  loadOpacityFile(attributes, scene, out);
  EXPECT_EQ(scene.pixelAlpha, (std::vector<std::int32_t>{255, 255, 255}));
}

TEST_F(SceneLoading, AColourFileOfOneValuePerPixelIsGrey) {
  folder.write("g.pColor", "3\n0\n128\n255\n");
  attributes.pColorFile = folder.file("g.pColor");
  loadColourFile(attributes, scene, out);
  EXPECT_EQ(lines(), "Caching pColor-file...done\n\n");
  EXPECT_EQ(scene.pixelRed, (std::vector<std::int32_t>{0, 128, 255}));
  EXPECT_EQ(scene.pixelGreen, scene.pixelRed);
  EXPECT_EQ(scene.pixelBlue, scene.pixelRed);
}

TEST_F(SceneLoading, BadAttributeFilesFallBackToTheirDefaultsWithALine) {
  folder.write("odd.pColor", "3\n1 2\n3 4\n5 6\n");
  folder.write("short.pOpacity", "3\n1\n2\n");
  folder.write("short.pScale", "3\n1\nx\n3\n");
  attributes.pColorFile = folder.file("odd.pColor");
  attributes.pOpacityFile = folder.file("short.pOpacity");
  attributes.pScaleFile = folder.file("short.pScale");
  scene.pixelRed[0] = 7;
  loadColourFile(attributes, scene, out);
  loadOpacityFile(attributes, scene, out);
  loadScaleFile(attributes, scene, out);
  EXPECT_EQ(lines(),
            "pColor-file holds neither one nor four values per pixel.\nPixel color defaulted to white.\n\n"
            "pOpacity-file holds fewer values than pixels.\nPixel opacity defaulted to 255.\n\n"
            "pScale-file holds fewer values than pixels.\nPixel scale defaulted to 1.0.\n\n");
  EXPECT_EQ(scene.pixelRed, (std::vector<std::int32_t>{255, 255, 255}));
  EXPECT_EQ(scene.pixelScale, (std::vector<float>{1, 1, 1}));
}

TEST_F(SceneLoading, ScaleValuesMapOntoTheRangeWithoutClamping) {
  EXPECT_EQ(pixelScaleFor(0.0f, 1.0, 3.0), 1.0f);
  EXPECT_FLOAT_EQ(pixelScaleFor(255.0f, 1.0, 3.0), 3.0f);
  EXPECT_FLOAT_EQ(pixelScaleFor(127.5f, 1.0, 3.0), 2.0f);
  folder.write("s.pScale", "3\n0\n510\n127.5\n");
  attributes.pScaleFile = folder.file("s.pScale");
  attributes.pScaleMin = 1.0;
  attributes.pScaleMax = 3.0;
  loadScaleFile(attributes, scene, out);
  EXPECT_EQ(scene.pixelScale[0], 1.0f);
  EXPECT_FLOAT_EQ(scene.pixelScale[1], 5.0f);  // 510 lands outside the range
  EXPECT_FLOAT_EQ(scene.pixelScale[2], 2.0f);
}

TEST_F(SceneLoading, WithoutAPathFileEveryStageMatchesACountOfZero) {
  sizeFromPathFile(folder.file("missing.pPath"), scene);
  EXPECT_EQ(scene.pixelCount, 0u);
  folder.write("zero.pOpacity", "0\n");
  attributes.pOpacityFile = folder.file("zero.pOpacity");
  loadOpacityFile(attributes, scene, out);
  EXPECT_EQ(lines(), "Caching pOpacity-file...done\n\n");
}

TEST_F(SceneLoading, CachingFillsEveryFramesPositionsInOneBlock) {
  folder.write("p.pPath", "3 2          \n\n0\n1 2 3\n4 5 6\n7 8 9\n1\n-1 -2 -3\n1234 0.5 1e-05\n0 0 0\n");
  ASSERT_TRUE(cachePathFile(folder.file("p.pPath"), scene, out));
  EXPECT_EQ(scene.frameCount, 2);
  EXPECT_EQ(scene.animation.frame(0).particles[2].position, (Vector3{7, 8, 9}));
  EXPECT_EQ(scene.animation.frame(1).particles[1].position, (Vector3{1234, 0.5f, 1e-05f}));
  EXPECT_EQ(scene.animation.frame(1).particles, scene.animation.frame(0).particles + 3);
  EXPECT_EQ(scene.animation.frame(0).particles[0].scale, 1.0f);
}

TEST_F(SceneLoading, AFileReadInChunksGivesTheSameFramesAsTextReadAtOnce) {
  // About 9 MB: the reader takes it in several pieces, with numbers across their seams.
  const std::uint32_t pixels = 3001;
  const int frames = 150;
  std::string text = std::to_string(pixels) + " " + std::to_string(frames) + "          \n\n";
  for (int f = 0; f < frames; ++f) {
    text += std::to_string(f) + "\n";
    for (std::uint32_t p = 0; p < pixels; ++p)
      text += std::to_string(f * 0.5 - p) + " " + std::to_string(p % 97) + ".25 -" + std::to_string(f % 7) + "\n";
  }
  folder.write("big.pPath", text);
  ViewerScene chunked, whole;
  std::ostringstream chunkedLines, wholeLines;
  ASSERT_TRUE(cachePathFile(folder.file("big.pPath"), chunked, chunkedLines));
  ASSERT_TRUE(cachePathText(text, whole, wholeLines));
  EXPECT_EQ(chunkedLines.str(), wholeLines.str());
  ASSERT_EQ(chunked.frameCount, frames);
  for (int f = 0; f < frames; ++f)
    for (std::uint32_t p = 0; p < pixels; ++p)
      ASSERT_EQ(chunked.animation.frame(f).particles[p].position, whole.animation.frame(f).particles[p].position)
          << "frame " << f << " pixel " << p;
  EXPECT_EQ(whole.animation.frame(149).particles[3000].position, (Vector3{74.5f - 3000, 90.25f, -2}));
}

}  // namespace
}  // namespace zorvel::test
