#pragma once

// The view's state and everything that changes it, kept apart from OpenGL: keys, mouse
// buttons and drags, the frame pacing and the frame stepping are plain functions on
// plain structs, so that tests call them directly and the GL layer only draws.

#include <cstdint>
#include <optional>

namespace zorvel {

struct ViewState {
  bool playing = false;
  std::int32_t playDirection = 1;
  std::int32_t framesPerSecond = 25;
  bool showGrid = true;
  bool additiveBlend = false;
  bool antialias = false;
  std::int32_t drawMode = 0;  // 0 wire, 1 solid, 2 solid with white outline
  float zoom = -12.0f;
  float panX = 0.0f;
  float panY = -2.0f;
  float rotateX = 10.0f;
  float rotateY = -45.0f;
  bool leftButtonHeld = false;
  bool middleButtonHeld = false;
  bool rightButtonHeld = false;
  std::int32_t lastMouseX = 0;
  std::int32_t lastMouseY = 0;
  std::uint32_t lastFrameTick = 0;
};

// Every field as a freshly opened view has it; `now` is the current tick.
ViewState initialViewState(std::uint32_t now);

// True when two states draw the same picture of the same frame: same camera, grid,
// blending, smoothing and draw mode.
bool drawsTheSame(const ViewState& a, const ViewState& b);

// The camera fields back to their start values.
void resetCamera(ViewState& view);

// What a key asks of the process besides changing the view.
enum class KeyEffect { None, Quit };

// The keys both views have, upper and lower case alike: ESC quits; space plays or
// pauses; D cycles the draw mode; F resets the camera; G toggles grid and axes; T
// toggles additive blending. Returns false when `key` is none of them.
bool pressSharedKey(ViewState& view, unsigned char key, KeyEffect& effect);

// A mouse button event: buttons 0, 1 and 2 flip their held flag whatever the state;
// every event records the position.
void mouseButton(ViewState& view, int button, int x, int y);

// A drag to (x, y): the first held button of left, middle, right decides: left rotates
// (half a degree per pixel), middle zooms on horizontal movement, right pans.
void dragTo(ViewState& view, int x, int y);

// The pacing gate while playing: when at least 1000 / framesPerSecond ms have passed
// since the last paced frame, returns the rate to print (1000 / elapsed) and the caller
// draws, prints and steps; otherwise returns nothing. The caller reads the tick again
// for lastFrameTick after printing.
std::optional<std::uint32_t> pacedFrameRate(const ViewState& view, std::uint32_t now);

// The projection for a window of width x height: height 0 is taken as 1.
struct Projection {
  int viewportWidth = 0;
  int viewportHeight = 0;
  double fieldOfView = 45.0;
  double aspect = 1.0;
  double nearPlane = 1.0;
  double farPlane = 500.0;
};
Projection projectionFor(int width, int height);

}  // namespace zorvel
