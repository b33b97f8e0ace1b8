// The viewer's frame cache, read from the cruncher's path file.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/TestSupport.h"
#include "viewer/PathFileReader.h"

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

class PathFileCaching : public ::testing::Test {
 protected:
  ScratchFolder folder;
};

TEST_F(PathFileCaching, CachingFillsEveryFramesPositionsInOneBlock) {
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

TEST_F(PathFileCaching, AStreamReadInChunksGivesTheCachedFramesOneByOne) {
  // About 9 MB: the stream takes it in pieces of every size, with numbers across their
  // seams; the cache maps it whole and reads it on two threads.
  const std::uint32_t pixels = 3001;
  const int frames = 150;
  std::string text = std::to_string(pixels) + " " + std::to_string(frames) + "          \n\n";
  for (int f = 0; f < frames; ++f) {
    text += std::to_string(f) + "\n";
    for (std::uint32_t p = 0; p < pixels; ++p)
      text += std::to_string(f * 0.5 - p) + " " + std::to_string(p % 97) + ".25 -" + std::to_string(f % 7) + "\n";
  }
  folder.write("big.pPath", text);
  CachingLog log;
  const Result<ParticleAnimation> cached = cachePathFile(folder.file("big.pPath"), log, kPlentyOfMemory);
  ASSERT_TRUE(cached);
  ASSERT_EQ(cached->frameCount(), frames);
  EXPECT_EQ(cached->frame(149).position(3000), (Vector3{74.5f - 3000, 90.25f, -2}));
  for (const std::size_t chunk : {std::size_t{7}, std::size_t{4096}, std::size_t{1} << 22}) {
    SCOPED_TRACE(chunk);
    Result<PathFrameStream> stream = PathFrameStream::open(folder.file("big.pPath"), chunk);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->pixelCount(), pixels);
    EXPECT_EQ(stream->frameCount(), frames);
    std::vector<float> frame(std::size_t{pixels} * 3);
    for (int f = 0; f < frames; ++f) {
      ASSERT_TRUE(stream->readFrame(frame.data())) << "frame " << f;
      ASSERT_TRUE(std::equal(frame.begin(), frame.end(), cached->frame(f).coordinates)) << "frame " << f;
    }
    EXPECT_FALSE(stream->readFrame(frame.data()));
  }
}

TEST_F(PathFileCaching, TwoThreadsCacheWhatOneThreadCachesWhereverTheLinesBreak) {
  // Each piece after the first starts at a line that holds one number, taken for a
  // frame's number; where it is none (one coordinate a line) or there is no such line
  // (all on one line), the piece before must notice and the reading go on from there.
  // Pieces of a few hundred bytes put such starts everywhere.
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
    const Result<ParticleAnimation> one = cachePathText(text, alone, kPlentyOfMemory, {1, 0});
    const Result<ParticleAnimation> two = cachePathText(text, split, kPlentyOfMemory, {2, 0, 300});
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
    const Result<ParticleAnimation> cutOne = cachePathText(cut, cutAlone, kPlentyOfMemory, {1, 0});
    const Result<ParticleAnimation> cutTwo = cachePathText(cut, cutSplit, kPlentyOfMemory, {2, 0, 300});
    ASSERT_TRUE(cutOne);
    ASSERT_TRUE(cutTwo);
    EXPECT_EQ(cutSplit.text, cutAlone.text);
    EXPECT_EQ(cutTwo->frameCount(), cutOne->frameCount());
  }
}

TEST(PathPieces, ASplitInsideAFrameStartsTheNextPieceAtTheNextFramesLine) {
  // Frame 0 takes most of the body: the split target, half way, falls inside it.
  const std::string header = "2 3\n\n";
  const std::string frame0 = "0\n-1234.5678 -1234.5678 -1234.5678\n-1234.5678 -1234.5678 -1234.5678\n";
  const std::string frame1 = "1\n0 0 0\n1 0 0\n";
  const std::string text = header + frame0 + frame1 + "2\n0 0 0\n1 0 0\n";
  const std::vector<PathPiece> pieces = planPathPieces(text, header.size(), 3, 2);
  ASSERT_EQ(pieces.size(), 2u);
  EXPECT_EQ(pieces[0].offset, header.size());
  EXPECT_EQ(pieces[0].first, 0);
  EXPECT_EQ(pieces[0].last, 1);
  EXPECT_EQ(pieces[1].offset, header.size() + frame0.size());
  EXPECT_EQ(pieces[1].first, 1);
  EXPECT_EQ(pieces[1].last, 3);
}

}  // namespace
}  // namespace zorvel::test
