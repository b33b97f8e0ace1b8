#pragma once

// The box drawing's own state: what drawing a batch of boxes works out before anything
// is handed to OpenGL (the boxes that may show, their corners and colours, the edges
// they share, their layers and the indices to draw, in drawing order), kept from batch
// to batch so that its arrays are reused. No OpenGL here: the renderer submits what it
// works out (BoxDrawing.cpp). Not shared between threads.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/ColorRGBA.h"
#include "playback/BoxGeometry.h"
#include "playback/Camera.h"
#include "playback/DrawingLayers.h"
#include "playback/SharedEdges.h"

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

// How a view's boxes are drawn.
struct BoxStyle {
  bool faces, edges, outlined;
  bool leaveOutHidden;  // faces that the box's own front faces hide
  bool edgeColours;     // edges in colours of their own, not the corners
};

// Indices `start` to `end` - 1 of the indices to draw.
struct IndexSpan {
  std::size_t start = 0, end = 0;
  std::size_t size() const { return end - start; }
};

// Where one layer's faces and edges lie among the indices: its faces drawn first, then
// its edges. Solid boxes have no edges, wire boxes no faces, and both one layer.
struct LayerSpans {
  IndexSpan faces, edges;
};

class BoxPasses {
 public:
  // Works out the boxes of `boxes` that may show through `camera`, drawn in `style`.
  void prepare(const BoxBatch& boxes, const BoxStyle& style, const Camera& camera);

  // What prepare() worked out: each chosen box's corners and their colours (the box's,
  // and its edges'), the indices into them, and where each layer's lie among those.
  const std::vector<Vector3>& corners() const { return corners_; }
  const std::vector<ColorRGBA>& cornerColours() const { return cornerColours_; }
  const std::vector<ColorRGBA>& edgeColours() const { return edgeColours_; }
  const std::vector<std::uint32_t>& indices() const { return indices_; }
  const std::vector<LayerSpans>& layers() const { return spans_; }

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

  void chooseBoxes(const BoxBatch& boxes, const BoxStyle& style, const Camera& camera);
  void chooseEdges(const BoxStyle& style);
  void placeInLayers(const Camera& camera);
  void writeIndices(const BoxStyle& style);

  std::vector<Vector3> corners_;
  std::vector<ColorRGBA> cornerColours_;
  std::vector<ColorRGBA> edgeColours_;
  bool edgesInOutlineColour_ = false;  // edgeColours_ holds the outline colour throughout
  std::vector<ChosenBox> chosen_;
  std::vector<std::uint32_t> indices_;
  std::vector<LayerSpans> spans_;
  SharedEdges sharedEdges_;
  DrawingLayers layers_;
};

}  // namespace zorvel
