#pragma once

// What draws pictures into one OpenGL context, one renderer a context: the window has
// one, each of the recorder's drawing threads has its own. It owns everything the
// drawing of its context needs from picture to picture: the camera of the picture, the
// vertex, colour and index arrays of the boxes, the edges already drawn, the layers of
// outlined boxes, and the count of what was handed to the renderer since it last
// finished. Nothing of it is shared between threads. Nothing here knows of a window: a
// GLUT window and an offscreen context draw through the same calls, so their pictures
// are the same. Not copyable.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/ColorRGBA.h"
#include "playback/BoxGeometry.h"
#include "playback/Camera.h"
#include "playback/DrawingLayers.h"
#include "playback/SharedEdges.h"
#include "playback/ViewState.h"

namespace zorvel {

// The outline colour of draw mode 2: opaque white.
constexpr ColorRGBA outlineColor{255, 255, 255, 255};

// Boxes to draw, one entry per pixel in drawing order. Each box's edges are drawn in
// its edge colour where one is given for every box; else in the outline colour where
// the faces are drawn too, and in the box's own colour in wire mode.
struct BoxBatch {
  std::vector<Vector3> centres;
  std::vector<HalfExtents> halfExtents;
  std::vector<ColorRGBA> colours;
  std::vector<ColorRGBA> edgeColours;  // empty, or one a box
  void clear() {
    centres.clear();
    halfExtents.clear();
    colours.clear();
    edgeColours.clear();
  }
  void add(const Vector3& centre, const HalfExtents& half, const ColorRGBA& colour) {
    centres.push_back(centre);
    halfExtents.push_back(half);
    colours.push_back(colour);
  }
  void add(const Vector3& centre, const HalfExtents& half, const ColorRGBA& colour, const ColorRGBA& edgeColour) {
    add(centre, half, colour);
    edgeColours.push_back(edgeColour);
  }
};

// The colours of the ground grid and of the x, y and z axes.
struct GridColours {
  ColorRGBA grid, x, y, z;
};
constexpr GridColours kGridColours{{51, 51, 51, 255}, {255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}};

class Renderer {
 public:
  // A renderer for the context current on the calling thread, set up as every picture
  // needs it (clear colour black, depth testing on). With `primitivesBetweenWaits`
  // other than 0 it waits for the renderer to fill what it was handed each time that
  // many triangles and lines were handed since it last finished, so that the lists the
  // renderer keeps for them stay bounded; the picture does not change.
  explicit Renderer(std::size_t primitivesBetweenWaits = 0);
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  // Starts a picture with `camera`: the viewport and the camera's matrices, colour and
  // depth cleared, then the grid and axes when the view shows them (with the blending
  // the last picture left, as every picture in a window follows another), line
  // smoothing off.
  void beginPicture(const Camera& camera, const ViewState& view, const GridColours& colours = kGridColours);
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
  // A box that may show: where its corners start, the faces it shows, the edges it
  // leaves out, whether it lies wholly beyond the near plane, and its layer.
  struct ChosenBox {
    std::uint32_t base;
    unsigned faces;
    unsigned leaveOut;
    bool beyondNear;
    std::uint32_t layer;
  };
  // How a view's boxes are drawn.
  struct BoxStyle {
    bool faces, edges, outlined;
    bool leaveOutHidden;  // faces that the box's own front faces hide
    bool edgeColours;     // edges in colours of their own, not the corners
  };

  // The passes of drawBoxes (BoxDrawing.cpp).
  void chooseBoxes(const BoxBatch& boxes, const BoxStyle& style);
  void chooseEdges(const BoxStyle& style);
  void placeInLayers();
  void writeIndices(const BoxStyle& style);
  void submitBoxes(const BoxStyle& style);

  // glDrawElements and glDrawArrays of GL_TRIANGLES or GL_LINES, in pieces that keep
  // within the bound: `count` vertices, a whole number of primitives.
  void submitElements(unsigned mode, std::size_t count, const std::uint32_t* indices);
  void submitArrays(unsigned mode, std::size_t first, std::size_t count);
  template <class Submit>
  void submitWithinBound(unsigned mode, std::size_t count, Submit submit);

  Camera camera_;
  // The boxes of the picture: each chosen box's corners and their colours (the box's,
  // and its edges'), the chosen boxes, the indices to draw and where each layer's faces
  // and edges end among them.
  std::vector<Vector3> corners_;
  std::vector<ColorRGBA> cornerColours_;
  std::vector<ColorRGBA> edgeColours_;
  bool edgesInOutlineColour_ = false;  // edgeColours_ holds the outline colour throughout
  std::vector<ChosenBox> chosen_;
  std::vector<std::uint32_t> indices_;
  std::vector<std::size_t> facesEnd_, edgesEnd_;
  SharedEdges sharedEdges_;
  DrawingLayers layers_;
  // The bound on what the renderer is handed between waits.
  std::size_t primitivesBetweenWaits_;
  std::size_t handed_ = 0;
  std::size_t waits_ = 0;
};

}  // namespace zorvel
