// The viewer's and the blender's keys and frame stepping, without a window.

#include <gtest/gtest.h>

#include "blender/BlenderControls.h"
#include "viewer/ViewerControls.h"

namespace zorvel::test {
namespace {

class ViewerKeys : public ::testing::Test {
 protected:
  KeyEffect press(unsigned char key) { return pressViewerKey(view, key, frame, frameCount); }
  ViewState view = initialViewState(1000);
  std::int32_t frame = 0;
  std::int32_t frameCount = 5;
};

TEST_F(ViewerKeys, FBringsBackTheCameraTheViewOpenedWithAndLeavesEverythingElse) {
  // Each button drags the camera somewhere else; the toggles change too.
  for (int button = 0; button < 3; ++button) {
    mouseButton(view, button, 100, 100);
    dragTo(view, 140, 70);
    mouseButton(view, button, 140, 70);
  }
  press('d');
  press('g');
  press('t');
  ViewState changed = view;
  EXPECT_FALSE(drawsTheSame(changed, initialViewState(0)));
  press('f');
  // The camera of a fresh view, and the toggles as they were.
  ViewState expected = initialViewState(0);
  expected.drawMode = changed.drawMode;
  expected.showGrid = changed.showGrid;
  expected.additiveBlend = changed.additiveBlend;
  EXPECT_TRUE(drawsTheSame(view, expected));
}

TEST(RedrawCheck, EveryFieldThatChangesThePictureChangedAloneMakesTheViewsDiffer) {
  using Change = void (*)(ViewState&);
  const Change picture[] = {
      [](ViewState& v) { v.showGrid = !v.showGrid; },
      [](ViewState& v) { v.additiveBlend = !v.additiveBlend; },
      [](ViewState& v) { v.antialias = !v.antialias; },
      [](ViewState& v) { v.drawMode = nextDrawMode(v.drawMode); },
      [](ViewState& v) { v.zoom += 1; },
      [](ViewState& v) { v.panX += 1; },
      [](ViewState& v) { v.panY += 1; },
      [](ViewState& v) { v.rotateX += 1; },
      [](ViewState& v) { v.rotateY += 1; },
  };
  // Playing, pacing and the mouse change what is drawn next, not the picture of a frame.
  const Change other[] = {
      [](ViewState& v) { v.playing = !v.playing; },
      [](ViewState& v) { v.playDirection = -v.playDirection; },
      [](ViewState& v) { v.framesPerSecond += 1; },
      [](ViewState& v) { v.leftButtonHeld = !v.leftButtonHeld; },
      [](ViewState& v) { v.middleButtonHeld = !v.middleButtonHeld; },
      [](ViewState& v) { v.rightButtonHeld = !v.rightButtonHeld; },
      [](ViewState& v) { v.lastMouseX += 1; },
      [](ViewState& v) { v.lastMouseY += 1; },
      [](ViewState& v) { v.lastFrameTick += 1; },
  };
  const ViewState start = initialViewState(0);
  for (std::size_t i = 0; i < std::size(picture); ++i) {
    ViewState changed = start;
    picture[i](changed);
    EXPECT_FALSE(drawsTheSame(changed, start)) << "picture field " << i;
  }
  for (std::size_t i = 0; i < std::size(other); ++i) {
    ViewState changed = start;
    other[i](changed);
    EXPECT_TRUE(drawsTheSame(changed, start)) << "other field " << i;
  }
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
  EXPECT_EQ(view.drawMode, DrawMode::Solid);
  press('D');
  EXPECT_EQ(view.drawMode, DrawMode::Outlined);
  press('d');
  EXPECT_EQ(view.drawMode, DrawMode::Wire);
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
  EXPECT_EQ(view.drawMode, DrawMode::Solid);
  EXPECT_TRUE(view.playing);
  EXPECT_EQ(pressBlenderKey(view, 27), KeyEffect::Quit);
}

TEST(ViewerStepping, LoopsAroundInBothDirections) {
  EXPECT_EQ(stepFrame(4, 1, 5), 0);
  EXPECT_EQ(stepFrame(0, -1, 5), 4);
  EXPECT_EQ(stepFrame(2, 1, 5), 3);
  EXPECT_EQ(stepFrame(0, 1, 0), 0);  // no frames: stays put
}

}  // namespace
}  // namespace zorvel::test
