#pragma once

// The view's state and everything that changes it, kept apart from OpenGL: keys, mouse
// buttons and drags, the frame pacing and the frame stepping are plain functions on
// plain structs, so that tests call them directly and the GL layer only draws.

#include <cstdint>
#include <optional>
#include <tuple>

namespace zorvel {

// The rate the views play at, and the recorder's default.
constexpr std::int32_t kFramesPerSecond = 25;

// The camera's distance from the point the scene turns about, before zoom: the scene is
// moved (pan x, pan y, zoom - kCameraDistance) from the eye.
constexpr float kCameraDistance = 10.0f;

// How each pixel is drawn: a wire box, a solid box, or a solid box with a white outline.
enum class DrawMode : std::int32_t { Wire, Solid, Outlined };

// The D key's cycle: wire, solid, outlined, wire.
DrawMode nextDrawMode(DrawMode mode);
inline bool drawsFaces(DrawMode mode) { return mode != DrawMode::Wire; }
inline bool drawsEdges(DrawMode mode) { return mode != DrawMode::Solid; }

struct ViewState {
  bool playing = false;
  std::int32_t playDirection = 1;
  std::int32_t framesPerSecond = kFramesPerSecond;
  bool showGrid = true;
  bool additiveBlend = false;
  bool antialias = false;
  DrawMode drawMode = DrawMode::Wire;
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

  // The fields that change the picture drawn of a frame, as one tuple: what the redraw
  // check compares. A field added above belongs here when it changes the picture; the
  // size check below stops the build until that is decided.
  auto pictureFields() const {
    return std::tie(showGrid, additiveBlend, antialias, drawMode, zoom, panX, panY, rotateX, rotateY);
  }
};
// Every field above is listed in pictureFields() or changes no picture.
static_assert(sizeof(ViewState) == 56, "a ViewState field was added or removed: see pictureFields()");

// Every field as a freshly opened view has it; `now` is the current tick.
ViewState initialViewState(std::uint32_t now);

// True when two states draw the same picture of the same frame: their picture fields
// are equal.
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
