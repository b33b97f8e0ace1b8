// The recorder's drawing meets a failure part-way: a frame it cannot read after all, or
// an output it cannot write to. Each ends the drawing, and its reason reaches the caller.
// The settled layer names every box's surfaces apart wherever it is used.

#include <gtest/gtest.h>

#include <csignal>
#include <limits>
#include <sstream>

#include "recorder/drawing/OrderedDrawing.h"
#include "recorder/drawing/Recording.h"
#include "recorder/drawing/SettledLayer.h"
#include "recorder/output/PictureWriter.h"
#include "recorder/sources/RecordingLoading.h"
#include "tests/TestSupport.h"

namespace zorvel::test {
namespace {

constexpr int kWidth = 32, kHeight = 24;

// A path file of six frames in which a 2 x 2 picture walks home along z.
std::string walkingHome() {
  std::ostringstream text;
  text << "4 6\n\n";
  for (int f = 0; f < 6; ++f) {
    text << f << "\n";
    for (int p = 0; p < 4; ++p) text << p % 2 - 0.5 << " " << (p < 2 ? -0.5 : 0.5) << " " << 5 - f << "\n";
  }
  return text.str();
}

// Keeps the pictures it is given; fails from picture `failAt` on, as a full disk does.
class MemorySink : public FrameSink {
 public:
  explicit MemorySink(std::size_t failAt = std::numeric_limits<std::size_t>::max()) : failAt_(failAt) {}
  Result<void> put(const std::vector<std::uint8_t>& rgb) override {
    if (pictures.size() == failAt_)
      return failure(FailureKind::CannotWrite, "cannot write out.mp4: ffmpeg: No space left on device");
    pictures.push_back(rgb);
    return {};
  }
  Result<void> finish() override { return {}; }
  void abandon() override {}
  std::vector<std::vector<std::uint8_t>> pictures;

 private:
  std::size_t failAt_;
};

class RecordingSeams : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int c = 0; c < 2; ++c) {
      Result<std::unique_ptr<OffscreenContext>> created = OffscreenContext::create(kWidth, kHeight);
      ASSERT_TRUE(created) << created.failure().reason;
      created.value()->release();
      contexts.push_back(std::move(created.value()));
    }
    folder.write("w.pPath", walkingHome());
    source.pathFile = folder.file("w.pPath");
    settings.width = kWidth;
    settings.height = kHeight;
  }

  std::unique_ptr<Recording> load() {
    std::ostringstream lines, err;
    Result<std::unique_ptr<Recording>> recording = loadRecording(source, settings, lines, err);
    EXPECT_TRUE(recording) << recording.failure().reason;
    return recording ? std::move(recording.value()) : nullptr;
  }
  // The recording drawn into `writer`, the last frame held twice more; `handed` hears
  // how many frames are handed over.
  Result<DrawnFrames> draw(const Recording& recording, PictureWriter& writer) {
    const Handover handover{2, [this](std::int64_t done) { handed.push_back(done); }, never};
    Timing timing;
    const ViewState view = initialViewState(0);
    const CameraPath still(cameraValuesOf(view));
    return drawInOrder({recording, contexts, view, still, Bounds{}}, handover, writer, timing);
  }

  ScratchFolder folder;
  PathSource source;
  LoadingSettings settings;
  std::vector<std::unique_ptr<OffscreenContext>> contexts;
  std::vector<std::int64_t> handed;
  volatile std::sig_atomic_t never = 0;
};

TEST_F(RecordingSeams, AFrameThatCannotBeReadAfterAllEndsTheVideoThereNamingTheFrameAndWhy) {
  const std::unique_ptr<Recording> recording = load();
  ASSERT_TRUE(recording);
  ASSERT_EQ(recording->frameCount(), 6);
  // The file changes after it was read through: cut inside frame 3.
  const std::string whole = walkingHome();
  folder.write("w.pPath", whole.substr(0, whole.find("\n3\n") + 6));
  MemorySink sink;
  PictureWriter writer(sink, 3);
  const Result<DrawnFrames> drawn = draw(*recording, writer);
  ASSERT_TRUE(drawn) << drawn.failure().reason;
  ASSERT_TRUE(writer.close());
  EXPECT_EQ(drawn->count, 3);
  ASSERT_TRUE(drawn->cut);
  EXPECT_EQ(drawn->cut->reason, source.pathFile + " changed since it was read through: it ends inside frame 3");
  // The progress hears of each frame, then of the hold's two.
  EXPECT_EQ(handed, (std::vector<std::int64_t>{1, 2, 3, 5}));
  // Frames 0 to 2, then the last of them held twice more.
  ASSERT_EQ(sink.pictures.size(), 5u);
  EXPECT_FALSE(sink.pictures[1] == sink.pictures[2]);
  EXPECT_TRUE(sink.pictures[3] == sink.pictures[2]);
  EXPECT_TRUE(sink.pictures[4] == sink.pictures[2]);

  // Frame 0 itself unreadable: there is nothing to record, and the failure says why.
  std::string corrupt = whole;
  corrupt.replace(corrupt.find("\n0\n") + 3, 1, "x");
  folder.write("w.pPath", corrupt);
  MemorySink none;
  PictureWriter nowhere(none, 3);
  const Result<DrawnFrames> nothing = draw(*recording, nowhere);
  ASSERT_FALSE(nothing);
  EXPECT_EQ(nothing.failure().reason, source.pathFile + " changed since it was read through: it ends inside frame 0");
  EXPECT_TRUE(nowhere.close());
  EXPECT_TRUE(none.pictures.empty());
}

TEST_F(RecordingSeams, AnOutputThatFailsStopsTheDrawingAndTheWriterGivesTheOutputsReason) {
  const std::unique_ptr<Recording> recording = load();
  ASSERT_TRUE(recording);
  MemorySink sink(2);
  PictureWriter writer(sink, 3);
  const Result<DrawnFrames> drawn = draw(*recording, writer);
  ASSERT_TRUE(drawn) << drawn.failure().reason;
  EXPECT_FALSE(drawn->cut);
  const std::string why = "cannot write out.mp4: ffmpeg: No space left on device";
  const Result<void> closed = writer.close();
  ASSERT_FALSE(closed);
  EXPECT_EQ(closed.failure().reason, why);
  EXPECT_EQ(sink.pictures.size(), 2u);
  EXPECT_LT(handed.size(), 6u);  // the drawing stopped before the end
  // Once the output failed, neither a buffer nor a picture is taken, and each says why.
  const Result<std::vector<std::uint8_t>> buffer = writer.takeBuffer();
  ASSERT_FALSE(buffer);
  EXPECT_EQ(buffer.failure().reason, why);
  const Result<void> put = writer.put(std::vector<std::uint8_t>(3));
  ASSERT_FALSE(put);
  EXPECT_EQ(put.failure().reason, why);
}

TEST(SettledLayerNames, EveryBoxHasNamesOfItsOwnUpToTheLastCountTheirBitsHoldAndNoFurther) {
  EXPECT_TRUE(LayeredDrawing::namesEveryBox(100000000));         // the most particles --picture takes
  EXPECT_TRUE(LayeredDrawing::namesEveryBox((1ull << 31) - 3));  // the last box's edges named 2^32 - 1
  EXPECT_FALSE(LayeredDrawing::namesEveryBox((1ull << 31) - 2));
  EXPECT_FALSE(LayeredDrawing::namesEveryBox(std::numeric_limits<std::uint32_t>::max()));  // a path file's most
  // Where 24-bit names do, the layer's keys take a byte less.
  EXPECT_TRUE(LayeredDrawing::namesEveryBox((1ull << 23) - 3, 24));
  EXPECT_FALSE(LayeredDrawing::namesEveryBox((1ull << 23) - 2, 24));
}

}  // namespace
}  // namespace zorvel::test
