#pragma once

// The drawing both views share, into whatever OpenGL context is current: the
// projection, the camera, the ground grid and axes, and batches of boxes and
// triangles. Nothing here knows of a window: the GLUT window and an offscreen context
// draw through the same calls, so their pictures are the same.

#include <cstddef>
#include <vector>

#include "common/ColorRGBA.h"
#include "playback/BoxGeometry.h"
#include "playback/ViewState.h"

namespace zorvel {

// The outline colour of draw mode 2: opaque white.
constexpr ColorRGBA outlineColor{255, 255, 255, 255};

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
  void add(const Vector3& centre, const HalfExtents& half, const ColorRGBA& colour) {
    centres.push_back(centre);
    halfExtents.push_back(half);
    colours.push_back(colour);
  }
};

// Clear colour black, depth testing on.
void initDrawing();

// Viewport and perspective for a picture of width x height pixels (height 0 taken as
// 1); leaves the model-view matrix current.
void applyProjection(int width, int height);
// The same for a projection worked out beforehand.
void applyProjection(const Projection& projection);

// Blending, smoothing, shading and line width as every drawing operation sets them up:
// additive blending (source alpha, one) when the view blends, smoothing when it
// antialiases, smooth shading, lines 1.25 wide.
void applyDrawingState(const ViewState& view);

// Starts a picture: clears colour and depth, sets the camera of `view`, draws the grid
// and axes when shown, and turns line smoothing off.
void beginScene(const ViewState& view);

// Draws the boxes in the view's draw mode (0 wire, 1 solid, 2 solid then a white wire
// outline per box) with the drawing state of the view, each box's faces as the corner
// table gives them, box after box in batch order. The picture is exactly that of
// drawing every box so; boxes that cannot show (wholly outside the view) are left out.
void drawBoxes(const BoxBatch& boxes, const ViewState& view);

// Draws `count` vertices at `vertices` as triangles, each vertex in its colour at
// `colours`, with the view's blending and smoothing. `count` is below 2^31.
void drawTriangles(const Vector3* vertices, const ColorRGBA* colours, std::size_t count, const ViewState& view);

// Hands what was drawn so far to the renderer, so that the memory it holds for it can
// go before more is drawn; the picture does not change.
void flushDrawing();

}  // namespace zorvel
