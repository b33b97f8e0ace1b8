#pragma once

// The viewer's picture of one frame, drawn through a renderer: every pixel a cube of its
// size in its colour, or, with an object shape, the object at the pixel's position in
// the pixel's colour. No window here: the viewer's window and the recorder both draw
// through it.

#include <cstdint>
#include <functional>
#include <vector>

#include "common/ColorRGBA.h"
#include "playback/Renderer.h"
#include "viewer/ObjectShape.h"
#include "viewer/ViewerScene.h"

namespace zorvel {

// The colours a pixel is drawn in where a caller chooses them: its box's faces (or an
// object's polygons), and its box's edges.
struct DrawnColours {
  ColorRGBA faces, edges;
};
using PixelColouring = std::function<DrawnColours(std::uint32_t pixel)>;

class ViewerDrawing {
 public:
  // Keeps references to `scene` and `shape`, which must outlive it.
  ViewerDrawing(const ViewerScene& scene, const ObjectShape& shape);

  // Draws the pixels of the scene's frame `frame` (nothing when the scene has no frames).
  void draw(Renderer& renderer, std::int32_t frame, const ViewState& view);
  // Draws the pixels at the positions of `frame`, which has the scene's pixel count.
  void draw(Renderer& renderer, const ParticleFrame& frame, const ViewState& view);
  // Draws the pixels `pixels` (in ascending order) at their positions in `frame`, in
  // their colours, or in those `colouring` gives.
  void draw(Renderer& renderer, const ParticleFrame& frame, const std::vector<std::uint32_t>& pixels,
            const ViewState& view, const PixelColouring& colouring = nullptr);

  // The colour a pixel is drawn in: the low eight bits of its four channels.
  ColorRGBA pixelColour(std::size_t i) const;

 private:
  // Draws the pixels that `forEach` names, in its order: it calls its argument with each;
  // in the colours `colouring` gives, where it is given.
  template <class ForEach>
  void drawPixels(Renderer& renderer, const ParticleFrame& frame, const ViewState& view, ForEach forEach,
                  const PixelColouring& colouring);
  template <class ForEach>
  void drawObjects(Renderer& renderer, const ParticleFrame& frame, const ViewState& view, ForEach forEach,
                   const PixelColouring& colouring);

  const ViewerScene& scene_;
  std::vector<Vector3> objectTriangles_;  // the shape's polygons as triangles, around the origin
  BoxBatch boxes_;
  std::vector<Vector3> vertices_;  // a bounded batch of the objects' triangles
  std::vector<ColorRGBA> colours_;
};

}  // namespace zorvel
