// The view's state logic: keys, mouse, pacing and stepping, without a window.

#include <gtest/gtest.h>

#include "BoxGeometry.h"
#include "ViewState.h"

namespace zorvel::test {
namespace {

class ViewerKeys : public ::testing::Test {
 protected:
  KeyEffect press(unsigned char key) { return pressViewerKey(view, key, frame, frameCount); }
  ViewState view = initialViewState(1000);
  std::int32_t frame = 0;
  std::int32_t frameCount = 5;
};

TEST_F(ViewerKeys, TheViewOpensPausedOnItsStartValues) {
  EXPECT_FALSE(view.playing);
  EXPECT_EQ(view.playDirection, 1);
  EXPECT_EQ(view.framesPerSecond, 25);
  EXPECT_TRUE(view.showGrid);
  EXPECT_FALSE(view.additiveBlend);
  EXPECT_FALSE(view.antialias);
  EXPECT_EQ(view.drawMode, 0);
  EXPECT_EQ(view.zoom, -12.0f);
  EXPECT_EQ(view.panY, -2.0f);
  EXPECT_EQ(view.rotateX, 10.0f);
  EXPECT_EQ(view.rotateY, -45.0f);
  EXPECT_EQ(view.lastFrameTick, 1000u);
}

TEST_F(ViewerKeys, FrameKeysStepAndWrapWhilePaused) {
  press(',');
  EXPECT_EQ(frame, 4);  // from the first frame to the last
  press('.');
  EXPECT_EQ(frame, 0);  // and on from the last to the first
  press('>');
  press('>');
  EXPECT_EQ(frame, 2);
  press('<');
  EXPECT_EQ(frame, 1);
  EXPECT_EQ(view.playDirection, 1);
}

TEST_F(ViewerKeys, FrameKeysOnlyTurnTheDirectionWhilePlaying) {
  press(' ');
  EXPECT_TRUE(view.playing);
  press(',');
  EXPECT_EQ(view.playDirection, -1);
  EXPECT_EQ(frame, 0);
  press('.');
  EXPECT_EQ(view.playDirection, 1);
  EXPECT_EQ(frame, 0);
}

TEST_F(ViewerKeys, TogglesCycleAndResetInEitherCase) {
  press('d');
  EXPECT_EQ(view.drawMode, 1);
  press('D');
  EXPECT_EQ(view.drawMode, 2);
  press('d');
  EXPECT_EQ(view.drawMode, 0);
  press('a');
  press('g');
  press('T');
  EXPECT_TRUE(view.antialias);
  EXPECT_FALSE(view.showGrid);
  EXPECT_TRUE(view.additiveBlend);
  view.zoom = 3;
  view.panX = 4;
  view.rotateY = 7;
  press('F');
  EXPECT_EQ(view.zoom, -12.0f);
  EXPECT_EQ(view.panX, 0.0f);
  EXPECT_EQ(view.rotateY, -45.0f);
  EXPECT_EQ(press('q'), KeyEffect::None);
  EXPECT_EQ(press(27), KeyEffect::Quit);
}

TEST_F(ViewerKeys, OneFrameStaysOnFrameZero) {
  frameCount = 1;
  press('.');
  EXPECT_EQ(frame, 0);
  press(',');
  EXPECT_EQ(frame, 0);
  EXPECT_EQ(stepFrame(0, 1, 1), 0);
  EXPECT_EQ(stepFrame(0, -1, 1), 0);
}

TEST(BlenderKeys, HaveNoAntialiasingOrFrameKeys) {
  ViewState view = initialViewState(0);
  for (unsigned char key : {'a', 'A', ',', '<', '.', '>'}) EXPECT_EQ(pressBlenderKey(view, key), KeyEffect::None);
  EXPECT_FALSE(view.antialias);
  EXPECT_EQ(view.playDirection, 1);
  pressBlenderKey(view, 'd');
  pressBlenderKey(view, ' ');
  EXPECT_EQ(view.drawMode, 1);
  EXPECT_TRUE(view.playing);
  EXPECT_EQ(pressBlenderKey(view, 27), KeyEffect::Quit);
}

TEST(Stepping, LoopsAroundInBothDirections) {
  EXPECT_EQ(stepFrame(4, 1, 5), 0);
  EXPECT_EQ(stepFrame(0, -1, 5), 4);
  EXPECT_EQ(stepFrame(2, 1, 5), 3);
  EXPECT_EQ(stepFrame(0, 1, 0), 0);  // no frames: stays put
}

TEST(Mouse, ButtonEventsFlipTheirFlagsWhateverTheState) {
  ViewState view;
  mouseButton(view, 0, 10, 20);
  EXPECT_TRUE(view.leftButtonHeld);
  mouseButton(view, 0, 11, 21);
  EXPECT_FALSE(view.leftButtonHeld);
  mouseButton(view, 3, 40, 50);  // a wheel event flips nothing but records the place
  EXPECT_FALSE(view.leftButtonHeld || view.middleButtonHeld || view.rightButtonHeld);
  EXPECT_EQ(view.lastMouseX, 40);
  EXPECT_EQ(view.lastMouseY, 50);
}

TEST(Mouse, DragsRotateZoomAndPanByTheFirstHeldButton) {
  ViewState view;
  dragTo(view, 100, 100);  // nothing held: nothing moves, not even the stored place
  EXPECT_EQ(view.lastMouseX, 0);

  mouseButton(view, 0, 0, 0);
  mouseButton(view, 2, 0, 0);
  dragTo(view, 10, 4);  // left and right held: rotation only
  EXPECT_EQ(view.rotateX, 12.0f);
  EXPECT_EQ(view.rotateY, -40.0f);
  EXPECT_EQ(view.panX, 0.0f);
  mouseButton(view, 0, 10, 4);
  dragTo(view, 30, 14);  // right alone pans
  EXPECT_FLOAT_EQ(view.panX, 1.0f);
  EXPECT_FLOAT_EQ(view.panY, -2.5f);
  mouseButton(view, 2, 30, 14);

  mouseButton(view, 1, 30, 14);
  dragTo(view, 30, 90);  // a vertical middle drag does not zoom
  EXPECT_EQ(view.zoom, -12.0f);
  dragTo(view, 50, 90);
  EXPECT_FLOAT_EQ(view.zoom, -10.0f);
}

TEST(Pacing, DrawsOnlyOnceTheFrameIntervalHasPassed) {
  ViewState view = initialViewState(5000);
  EXPECT_FALSE(pacedFrameRate(view, 5039).has_value());
  EXPECT_EQ(pacedFrameRate(view, 5040), 25u);
  EXPECT_EQ(pacedFrameRate(view, 5050), 20u);
  EXPECT_EQ(pacedFrameRate(view, 7000), 0u);  // after a pause of over a second
}

TEST(Pacing, ElapsedTimeSurvivesTheTickCounterWrapping) {
  ViewState view = initialViewState(0xFFFFFFF0u);
  EXPECT_FALSE(pacedFrameRate(view, 0x00000010u).has_value());  // 32 ms across the wrap
  EXPECT_EQ(pacedFrameRate(view, 0x00000040u), 12u);            // 80 ms
}

TEST(Projection, AZeroHeightIsTakenAsOne) {
  const Projection p = projectionFor(800, 0);
  EXPECT_EQ(p.viewportHeight, 1);
  EXPECT_EQ(p.aspect, 800.0);
  EXPECT_EQ(p.fieldOfView, 45.0);
  EXPECT_EQ(p.nearPlane, 1.0);
  EXPECT_EQ(p.farPlane, 500.0);
  EXPECT_DOUBLE_EQ(projectionFor(1280, 1024).aspect, 1.25);
}

TEST(BoxGeometry, FacesAndEdgesInDrawingOrder) {
  std::vector<Vector3> solid(kSolidBoxVertices);
  EXPECT_EQ(writeSolidBox(solid.data(), {1, 2, 3}, {0.5f, 0.5f, 2.0f}), solid.data() + 36);
  // Front face at z + h, corners (x-h, y-h), (x+h, y-h), (x+h, y+h), (x-h, y+h).
  EXPECT_EQ(solid[0], (Vector3{0.5f, 1.5f, 5}));
  EXPECT_EQ(solid[1], (Vector3{1.5f, 1.5f, 5}));
  EXPECT_EQ(solid[2], (Vector3{1.5f, 2.5f, 5}));
  EXPECT_EQ(solid[5], (Vector3{0.5f, 2.5f, 5}));
  // Bottom face last, at y - h.
  for (int i = 30; i < 36; ++i) EXPECT_EQ(solid[i].y, 1.5f);

  std::vector<Vector3> wire(kWireBoxVertices);
  EXPECT_EQ(writeWireBox(wire.data(), {0, 0, 0}, {1, 1, 1}), wire.data() + 24);
  EXPECT_EQ(wire[0], (Vector3{-1, -1, 1}));  // first vertical edge
  EXPECT_EQ(wire[1], (Vector3{-1, 1, 1}));
  EXPECT_EQ(wire[8], (Vector3{-1, 1, 1}));   // top loop starts at the first corner
  EXPECT_EQ(wire[15], (Vector3{-1, 1, 1}));  // and closes on it
  EXPECT_EQ(wire[16].y, -1.0f);               // then the bottom loop

  EXPECT_EQ(gridLines().size(), 84u);
}

}  // namespace
}  // namespace zorvel::test
