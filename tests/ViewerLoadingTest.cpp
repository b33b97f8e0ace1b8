// Reading the cruncher's files for the viewer: attribute files and the frame cache.

#include <gtest/gtest.h>

#include <sstream>

#include "viewer/AttributeLoading.h"
#include "viewer/PathFileReader.h"
#include "tests/TestSupport.h"

namespace zorvel::test {
namespace {

constexpr std::uint64_t kPlentyOfMemory = std::uint64_t{1} << 40;

// Remembers what the caching pass reports.
struct CachingLog : PathCacheListener {
  void counts(std::uint32_t pixels, std::int32_t frames) override {
    text += "counts " + std::to_string(pixels) + " " + std::to_string(frames) + "\n";
  }
  void frameCached(std::int32_t frame, bool complete) override {
    text += std::to_string(frame) + (complete ? " done\n" : " incomplete\n");
  }
  std::string text;
};

class SceneLoading : public ::testing::Test {
 protected:
  ScratchFolder folder;
};

TEST_F(SceneLoading, ColourValuesAreKeptAsReadEvenAboveAByte) {
  folder.write("c.pColor", "3\n300 2 3 4 \n5 6 7 8 \n9 10 11 12 \n");
  const Result<PixelColours> colours = readColourFile(folder.file("c.pColor"), 3);
  ASSERT_TRUE(colours);
  EXPECT_EQ(colours->red, (std::vector<std::int32_t>{300, 5, 9}));
  EXPECT_EQ(colours->alpha, (std::vector<std::int32_t>{4, 8, 12}));
}

TEST_F(SceneLoading, AColourFileOfOneValuePerPixelIsGrey) {
  folder.write("g.pColor", "3\n0\n128\n255\n");
  const Result<PixelColours> colours = readColourFile(folder.file("g.pColor"), 3);
  ASSERT_TRUE(colours);
  EXPECT_EQ(colours->red, (std::vector<std::int32_t>{0, 128, 255}));
  EXPECT_EQ(colours->green, colours->red);
  EXPECT_EQ(colours->blue, colours->red);
  EXPECT_EQ(colours->alpha, (std::vector<std::int32_t>{255, 255, 255}));
}

TEST_F(SceneLoading, EachKindOfBadAttributeFileFailsWithItsKind) {
  folder.write("odd.pColor", "3\n1 2\n3 4\n5 6\n");
  folder.write("short.pOpacity", "3\n1\n2\n");
  folder.write("bad.pScale", "3\n1\nx\n3\n");
  folder.write("two.pScale", "2\n1\n3\n");
  EXPECT_EQ(readColourFile(folder.file("odd.pColor"), 3).failure().kind, FailureKind::WrongFormat);
  EXPECT_EQ(readOpacityFile(folder.file("short.pOpacity"), 3).failure().kind, FailureKind::WrongFormat);
  EXPECT_EQ(readScaleFile(folder.file("bad.pScale"), 3, 1, 1).failure().kind, FailureKind::WrongFormat);
  EXPECT_EQ(readScaleFile(folder.file("two.pScale"), 3, 1, 1).failure().kind, FailureKind::CountMismatch);
  EXPECT_EQ(readScaleFile(folder.file("none.pScale"), 3, 1, 1).failure().kind, FailureKind::CannotOpen);
  EXPECT_EQ(readScaleFile("", 3, 1, 1).failure().kind, FailureKind::Undefined);
}

TEST_F(SceneLoading, ScaleValuesMapOntoTheRangeWithoutClamping) {
  EXPECT_EQ(pixelScaleFor(0.0f, 1.0, 3.0), 1.0f);
  EXPECT_FLOAT_EQ(pixelScaleFor(255.0f, 1.0, 3.0), 3.0f);
  EXPECT_FLOAT_EQ(pixelScaleFor(127.5f, 1.0, 3.0), 2.0f);
  folder.write("s.pScale", "3\n0\n510\n127.5\n");
  const Result<std::vector<float>> scale = readScaleFile(folder.file("s.pScale"), 3, 1.0, 3.0);
  ASSERT_TRUE(scale);
  EXPECT_EQ(scale.value()[0], 1.0f);
  EXPECT_FLOAT_EQ(scale.value()[1], 5.0f);  // 510 lands outside the range
  EXPECT_FLOAT_EQ(scale.value()[2], 2.0f);
}

TEST_F(SceneLoading, WithoutAPathFileEveryStageMatchesACountOfZero) {
  EXPECT_FALSE(pathFilePixelCount(folder.file("missing.pPath")));
  folder.write("zero.pOpacity", "0\n");
  EXPECT_TRUE(readOpacityFile(folder.file("zero.pOpacity"), 0));
}

TEST_F(SceneLoading, CachingFillsEveryFramesPositionsInOneBlock) {
  folder.write("p.pPath", "3 2          \n\n0\n1 2 3\n4 5 6\n7 8 9\n1\n-1 -2 -3\n1234 0.5 1e-05\n0 0 0\n");
  CachingLog log;
  const Result<ParticleAnimation> animation = cachePathFile(folder.file("p.pPath"), log, kPlentyOfMemory);
  ASSERT_TRUE(animation);
  EXPECT_EQ(log.text, "counts 3 2\n0 done\n1 done\n");
  EXPECT_EQ(animation->frameCount(), 2);
  EXPECT_EQ(animation->frame(0).position(2), (Vector3{7, 8, 9}));
  EXPECT_EQ(animation->frame(1).position(1), (Vector3{1234, 0.5f, 1e-05f}));
  EXPECT_EQ(animation->frame(1).coordinates, animation->frame(0).coordinates + 9);
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
  CachingLog chunkedLog, wholeLog;
  const Result<ParticleAnimation> chunked = cachePathFile(folder.file("big.pPath"), chunkedLog, kPlentyOfMemory);
  const Result<ParticleAnimation> whole = cachePathText(text, wholeLog, kPlentyOfMemory);
  ASSERT_TRUE(chunked);
  ASSERT_TRUE(whole);
  EXPECT_EQ(chunkedLog.text, wholeLog.text);
  ASSERT_EQ(chunked->frameCount(), frames);
  for (int f = 0; f < frames; ++f)
    for (std::uint32_t p = 0; p < pixels; ++p)
      ASSERT_EQ(chunked->frame(f).position(p), whole->frame(f).position(p)) << "frame " << f << " pixel " << p;
  EXPECT_EQ(whole->frame(149).position(3000), (Vector3{74.5f - 3000, 90.25f, -2}));
}

TEST_F(SceneLoading, TwoThreadsCacheWhatOneThreadCachesWhereverTheLinesBreak) {
  // The second thread starts at a line that holds one number, taken for a frame's
  // number; where it is none (one coordinate a line) or there is no such line (all on
  // one line), the first thread must notice and read on alone. Small chunks put seams
  // everywhere.
  const std::uint32_t pixels = 40;
  const int frames = 30;
  const auto layout = [&](const char* afterCoordinate, const char* afterPixel, const char* afterFrameNumber) {
    std::string text = std::to_string(pixels) + " " + std::to_string(frames) + "\n\n";
    for (int f = 0; f < frames; ++f) {
      text += std::to_string(f) + afterFrameNumber;
      for (std::uint32_t p = 0; p < pixels; ++p)
        text += std::to_string(p % 7) + afterCoordinate + std::to_string(f - 3) + ".5" + afterCoordinate +
                std::to_string(p * f % 11) + afterPixel;
    }
    return text;
  };
  for (const std::string& text : {layout(" ", "\n", "\n"), layout("\n", "\n", "\n"), layout(" ", " ", " ")}) {
    SCOPED_TRACE(text.substr(0, 40));
    CachingLog alone, split;
    const Result<ParticleAnimation> one = cachePathText(text, alone, kPlentyOfMemory, {1, 64, 0});
    const Result<ParticleAnimation> two = cachePathText(text, split, kPlentyOfMemory, {2, 64, 0});
    ASSERT_TRUE(one);
    ASSERT_TRUE(two);
    EXPECT_EQ(split.text, alone.text);
    ASSERT_EQ(two->frameCount(), frames);
    for (int f = 0; f < frames; ++f)
      for (std::uint32_t p = 0; p < pixels; ++p)
        ASSERT_EQ(two->frame(f).position(p), one->frame(f).position(p)) << "frame " << f << " pixel " << p;
    // Cut inside the second half, both give the same complete frames.
    const std::string cut = text.substr(0, text.size() * 3 / 4);
    CachingLog cutAlone, cutSplit;
    const Result<ParticleAnimation> cutOne = cachePathText(cut, cutAlone, kPlentyOfMemory, {1, 64, 0});
    const Result<ParticleAnimation> cutTwo = cachePathText(cut, cutSplit, kPlentyOfMemory, {2, 64, 0});
    ASSERT_TRUE(cutOne);
    ASSERT_TRUE(cutTwo);
    EXPECT_EQ(cutSplit.text, cutAlone.text);
    EXPECT_EQ(cutTwo->frameCount(), cutOne->frameCount());
  }
}

}  // namespace
}  // namespace zorvel::test
