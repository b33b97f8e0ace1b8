#pragma once

// The viewer's picture of one frame, drawn into the current OpenGL context: every pixel
// a cube of its size in its colour, or, with an object shape, the object at the pixel's
// position in the pixel's colour. No window here: the viewer's window and the recorder
// both draw through it.

#include <cstdint>
#include <vector>

#include "common/ColorRGBA.h"
#include "playback/SceneDrawing.h"
#include "viewer/ObjectShape.h"
#include "viewer/ViewerScene.h"

namespace zorvel {

class ViewerDrawing {
 public:
  // Keeps references to `scene` and `shape`, which must outlive it.
  ViewerDrawing(const ViewerScene& scene, const ObjectShape& shape);

  // Draws the pixels of the scene's frame `frame` (nothing when the scene has no frames).
  void draw(std::int32_t frame, const ViewState& view);
  // Draws the pixels at the positions of `frame`, which has the scene's pixel count.
  void draw(const ParticleFrame& frame, const ViewState& view);

  // The colour a pixel is drawn in: the low eight bits of its four channels.
  ColorRGBA pixelColour(std::size_t i) const;

 private:
  void drawObjects(const ParticleFrame& frame, const ViewState& view);

  const ViewerScene& scene_;
  std::vector<Vector3> objectTriangles_;  // the shape's polygons as triangles, around the origin
  BoxBatch boxes_;
  std::vector<Vector3> vertices_;  // a bounded batch of the objects' triangles
  std::vector<ColorRGBA> colours_;
};

}  // namespace zorvel
