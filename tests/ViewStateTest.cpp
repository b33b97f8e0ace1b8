// The view state both windows share: mouse, drags, pacing and projection, without a window.

#include <gtest/gtest.h>

#include "playback/ViewState.h"

namespace zorvel::test {
namespace {

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

}  // namespace
}  // namespace zorvel::test
