// Waiting for the renderer part-way through a picture, to bound what it holds, draws the
// same picture: every primitive, once, in the order handed. A picture's grid is blended
// as it is asked, whatever the picture before left.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "playback/Renderer.h"
#include "recorder/drawing/OffscreenContext.h"

namespace zorvel {
namespace {

constexpr int kWidth = 160, kHeight = 120;

// Boxes about the turning point, overlapping, some of them inside others (fixed seed).
BoxBatch randomBoxes(int count) {
  std::mt19937 random(11);
  std::uniform_real_distribution<float> place(-3.0f, 3.0f), half(0.05f, 0.6f);
  std::uniform_int_distribution<int> channel(40, 255);
  BoxBatch boxes;
  for (int i = 0; i < count; ++i) {
    const Vector3 centre{place(random), place(random), place(random)};
    const HalfExtents h{half(random), half(random), half(random)};
    const ColorRGBA colour{static_cast<std::uint8_t>(channel(random)), static_cast<std::uint8_t>(channel(random)),
                           static_cast<std::uint8_t>(channel(random)), 160};
    boxes.add(centre, h, colour);
  }
  return boxes;
}

// Triangles with corners among the boxes' centres, in the boxes' colours.
void randomTriangles(const BoxBatch& boxes, std::vector<Vector3>& corners, std::vector<ColorRGBA>& colours) {
  for (std::size_t i = 0; i + 2 < boxes.centres.size(); i += 3)
    for (std::size_t k = 0; k < 3; ++k) {
      corners.push_back(boxes.centres[i + k]);
      colours.push_back(boxes.colours[i]);
    }
}

class BoundedDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    Result<std::unique_ptr<OffscreenContext>> created = OffscreenContext::create(kWidth, kHeight);
    ASSERT_TRUE(created) << created.failure().reason;
    context = std::move(created.value());
  }

  // The picture `draw` makes with a renderer that waits for every `bound` primitives;
  // `waits` says how often it did.
  template <class Draw>
  std::vector<std::uint8_t> picture(const ViewState& view, std::size_t bound, Draw draw, std::size_t& waits) {
    Renderer renderer(bound);
    renderer.beginPicture(Camera(view, projectionFor(kWidth, kHeight)), view, GridBlending::None);
    draw(renderer);
    renderer.waitUntilDrawn();
    waits = renderer.waits();
    std::vector<std::uint8_t> rgb;
    context->readPixels(rgb);
    return rgb;
  }

  std::unique_ptr<OffscreenContext> context;
};

TEST_F(BoundedDrawing, WaitingForTheRendererPartWayChangesNoPixelInAnyModeBlendedOrNot) {
  const BoxBatch boxes = randomBoxes(300);
  std::vector<Vector3> corners;
  std::vector<ColorRGBA> colours;
  randomTriangles(boxes, corners, colours);
  for (const DrawMode mode : {DrawMode::Wire, DrawMode::Solid, DrawMode::Outlined})
    for (const bool blend : {false, true})
      for (const bool smooth : {false, true}) {
        ViewState view = initialViewState(0);
        view.showGrid = false;  // the boxes alone
        view.zoom = -2.0f;      // the boxes fill the picture
        view.panY = 0.0f;
        view.drawMode = mode;
        view.additiveBlend = blend;
        view.antialias = smooth;
        const auto scene = [&](Renderer& renderer) {
          renderer.drawBoxes(boxes, view);
          renderer.drawTriangles(corners.data(), colours.data(), corners.size(), view);
        };
        std::size_t waits = 0;
        const std::vector<std::uint8_t> whole = picture(view, 0, scene, waits);
        EXPECT_EQ(waits, 0u);
        // 7 primitives: pieces end inside boxes and inside layers.
        const std::vector<std::uint8_t> inPieces = picture(view, 7, scene, waits);
        SCOPED_TRACE(::testing::Message() << "mode " << static_cast<int>(mode) << ", blend " << blend << ", smooth "
                                          << smooth << ", " << waits << " waits");
        EXPECT_GT(waits, 200u);
        std::size_t lit = 0, differing = 0;
        for (std::size_t i = 0; i < whole.size(); i += 3) {
          lit += whole[i] != 0 || whole[i + 1] != 0 || whole[i + 2] != 0;
          differing += whole[i] != inPieces[i] || whole[i + 1] != inPieces[i + 1] || whole[i + 2] != inPieces[i + 2];
        }
        EXPECT_GT(lit, whole.size() / 3 / 3);  // the scene fills a good part of the picture
        EXPECT_EQ(differing, 0u);
      }
}

using PictureStart = BoundedDrawing;

TEST_F(PictureStart, TheGridIsBlendedAsAskedWhateverBlendingThePictureBeforeLeft) {
  ViewState view = initialViewState(0);
  view.antialias = true;  // smoothed lines: their edges show the blending
  const Camera camera(view, projectionFor(kWidth, kHeight));
  const BoxBatch boxes = randomBoxes(20);
  // The grid alone, in a context whose picture before drew boxes blended or not.
  const auto gridAfter = [&](bool blendedBefore, GridBlending asked) {
    Renderer renderer;
    ViewState before = view;
    before.additiveBlend = blendedBefore;
    renderer.beginPicture(camera, before, GridBlending::None);
    renderer.drawBoxes(boxes, before);
    renderer.beginPicture(camera, view, asked);
    renderer.waitUntilDrawn();
    std::vector<std::uint8_t> rgb;
    context->readPixels(rgb);
    return rgb;
  };
  const std::vector<std::uint8_t> plain = gridAfter(false, GridBlending::None);
  const std::vector<std::uint8_t> blended = gridAfter(true, GridBlending::Additive);
  EXPECT_NE(plain, blended);  // the blending shows in the grid's pixels
  EXPECT_EQ(gridAfter(true, GridBlending::None), plain);
  EXPECT_EQ(gridAfter(false, GridBlending::Additive), blended);
}

}  // namespace
}  // namespace zorvel
