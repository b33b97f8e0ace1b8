#pragma once

// What draws pictures into one OpenGL context, one renderer a context: the window has
// one, each of the recorder's drawing threads has its own. It owns everything the
// drawing of its context needs from picture to picture: the camera of the picture, the
// box drawing's own state (BoxPasses), and the count of what was handed to the renderer
// since it last finished. Nothing of it is shared between threads. Nothing here knows of a window: a
// GLUT window and an offscreen context draw through the same calls, so their pictures
// are the same. Not copyable.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/ColorRGBA.h"
#include "playback/BoxPasses.h"
#include "playback/Camera.h"
#include "playback/ViewState.h"

namespace zorvel {

// The colours of the ground grid and of the x, y and z axes, and the background the
// picture is cleared to.
struct GridColours {
  ColorRGBA grid, x, y, z;
  ColorRGBA background{0, 0, 0, 0};
};
constexpr GridColours kGridColours{{51, 51, 51, 255}, {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};

// How a picture's grid and axes are blended. In a window every picture follows another
// and its grid is blended as the boxes of the picture before were (the first follows
// none: not blended), so the window gives gridBlendingAfter() the view it drew last.
enum class GridBlending { None, Additive };
inline GridBlending gridBlendingAfter(const ViewState& drawnBefore) {
  return drawnBefore.additiveBlend ? GridBlending::Additive : GridBlending::None;
}

class Renderer {
 public:
  // A renderer for the context current on the calling thread, set up as every picture
  // needs it (depth testing on). With `primitivesBetweenWaits`
  // other than 0 it waits for the renderer to fill what it was handed each time that
  // many triangles and lines were handed since it last finished, so that the lists the
  // renderer keeps for them stay bounded; the picture does not change.
  explicit Renderer(std::size_t primitivesBetweenWaits = 0);
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  // Starts a picture with `camera`: the viewport and the camera's matrices, colour (to
  // the background of `colours`) and depth cleared, then the grid and axes, blended as
  // `gridBlending` says, when the view shows them; line smoothing off.
  void beginPicture(const Camera& camera, const ViewState& view, GridBlending gridBlending,
                    const GridColours& colours = kGridColours);
  // The camera's viewport and matrices, nothing cleared or drawn: for drawing on over a
  // picture that is there already.
  void useCamera(const Camera& camera);

  // Blending, smoothing, shading and line width as the view's drawing sets them up:
  // additive blending (source alpha, one) when the view blends, smoothing when it
  // antialiases, smooth shading, lines 1.25 wide.
  void setDrawingState(const ViewState& view);

  // Draws the boxes in the view's draw mode (wire, solid, or solid then a white wire
  // outline per box) with the view's drawing state. The picture is that of drawing
  // every box's faces and edges in turn, in batch order (BoxGeometry's tables), but
  // where two surfaces meet at exactly the same depth.
  void drawBoxes(const BoxBatch& boxes, const ViewState& view);

  // Draws `count` vertices at `vertices` as triangles, each vertex in its colour at
  // `colours`, with the view's drawing state. `count` is below 2^31.
  void drawTriangles(const Vector3* vertices, const ColorRGBA* colours, std::size_t count, const ViewState& view);

  // Hands what was drawn so far to the renderer, so that what it holds for it can go
  // before more is drawn; the picture does not change.
  void flush();
  // Waits until the renderer has filled everything handed to it; the count of what was
  // handed starts afresh.
  void waitUntilDrawn();
  // How many times the drawing waited for the renderer to fill what it was handed.
  std::size_t waits() const { return waits_; }

 private:
  // Hands the boxes `boxes_` worked out to OpenGL, in `style` (BoxDrawing.cpp).
  void submitBoxes(const BoxStyle& style);

  // glDrawElements and glDrawArrays of GL_TRIANGLES or GL_LINES, in pieces that keep
  // within the bound: `count` vertices, a whole number of primitives.
  void submitElements(unsigned mode, std::size_t count, const std::uint32_t* indices);
  void submitArrays(unsigned mode, std::size_t first, std::size_t count);
  template <class Submit>
  void submitWithinBound(unsigned mode, std::size_t count, Submit submit);

  Camera camera_;
  BoxPasses boxes_;  // the box drawing's own state
  // The bound on what the renderer is handed between waits.
  std::size_t primitivesBetweenWaits_;
  std::size_t handed_ = 0;
  std::size_t waits_ = 0;
};

}  // namespace zorvel
