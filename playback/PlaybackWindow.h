#pragma once

// The GLUT window shell that the viewer and the blender share: a full-screen,
// double-buffered window titled "Zorvel-viewer", the camera and mouse, the ground grid
// and axes, the frame-rate gate and the drawing of box batches. Each program supplies
// its own display and keyboard callbacks. All state lives in one process-wide ViewState,
// as GLUT's callbacks need it.

#include <cstdint>
#include <iosfwd>
#include <vector>

#include "BoxGeometry.h"
#include "ColorRGBA.h"
#include "ViewState.h"

namespace zorvel {

// The outline colour of draw mode 2: opaque white.
constexpr ColorRGBA outlineColor{255, 255, 255, 255};

struct WindowCallbacks {
  void (*display)();
  void (*keyboard)(unsigned char key, int x, int y);
};

// The view state the callbacks share.
ViewState& viewState();

// Initialises GLUT with the program's arguments, opens the window, registers `callbacks`
// with the shared reshape, idle, mouse and motion callbacks, initialises the view, goes
// full screen and runs the event loop, which returns only with a GLUT that can return
// from it.
void runPlaybackWindow(int& argc, char** argv, const WindowCallbacks& callbacks);

// Clear colour black, depth testing on, every ViewState field to its start value.
void initView();

// Clears, sets the camera, draws grid and axes when shown, turns line smoothing off.
void beginFrame();
// Flushes and swaps the buffers.
void endFrame();

// While playing: when a paced frame is due prints "framerate: " and the rate on `out`,
// moves lastFrameTick on and returns true; otherwise returns false and prints nothing.
bool takePacedFrame(std::ostream& out);

// True when a picture drawn now would differ from the one on screen: the view state
// changed, or the window did, since the last endFrame().
bool viewChangedSinceLastFrame();

// Prints "openGL finished" on `out` and ends the process with status 0.
[[noreturn]] void finishView(std::ostream& out);

// Boxes to draw, one entry per pixel in drawing order.
struct BoxBatch {
  std::vector<Vector3> centres;
  std::vector<HalfExtents> halfExtents;
  std::vector<ColorRGBA> colours;
  void clear() {
    centres.clear();
    halfExtents.clear();
    colours.clear();
  }
};

// Draws the boxes in `drawMode` (0 wire, 1 solid, 2 solid then a white wire outline per
// box) with the view's blending and smoothing, line width 1.25 and smooth shading.
void drawBoxes(const BoxBatch& boxes, const ViewState& view);

// Draws `triangles` (three vertices each) of one colour per vertex, with the view's
// blending and smoothing.
void drawTriangles(const std::vector<Vector3>& triangles, const std::vector<ColorRGBA>& colours,
                   const ViewState& view);

}  // namespace zorvel
