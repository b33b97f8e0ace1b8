#pragma once

// The recorder's settled layer. A particle is settled from the frame after which its
// position never changes again, and the recorder's camera stands still: from then on it
// looks the same in every frame. Each drawing context keeps a picture of its own, the
// layer, of the grid, the axes and the settled particles, and draws into it only the
// particles that settled since its last frame; each frame is that picture with the
// particles still moving drawn over it.
//
// Where two surfaces meet at exactly the same depth, the one drawn first shows; drawing
// every box in order, that is the one of the lower index. So the layer keeps, for each
// pixel, its depth and which surface shows there: everything is drawn in colours that
// name the surface (the background, the grid, each axis, each box's faces, each box's
// edges, in drawing order), the depth and the names are read back, and a pixel takes the
// nearer surface of the layer and the new drawing, at the same depth the one named
// first, then its colour. The frame is therefore the one drawing every box in order
// gives, but where a face that a box's own front faces hide (left out, as in the
// window) met another surface at the same depth. With additive blending the order of
// drawing decides every pixel, and every box is drawn in every frame, in order, as
// without a layer.
//
// The layer holds the particles as one camera sees them: a frame whose camera is not the
// one of the frame before draws every box, and a frame whose camera stands still but
// differs from the layer's draws the layer afresh.

#include <cstdint>
#include <vector>

#include "playback/ViewState.h"
#include "recorder/drawing/CameraMoves.h"
#include "recorder/drawing/Recording.h"
#include "recorder/drawing/Settling.h"
#include "viewer/ObjectShape.h"
#include "viewer/ViewerDrawing.h"
#include "viewer/ViewerScene.h"

namespace zorvel {

// How the settled layer stores a pixel's key, its depth (24 bits) above its surface's
// name: names of `nameBits` bits, the key in `bytes` bytes. The fewest whole bytes that
// name every box take least memory: 6 where names of 24 bits do, else 7.
struct LayerKeyFormat {
  unsigned nameBits;
  std::size_t bytes;
};

// Draws the frames of a particle recording into one context, over its settled layer
// where `settling` is given, every particle's surfaces can be named, the view does not
// blend and the camera stands still, else every particle. Frames come in ascending
// order. Keeps references to what it is given.
class LayeredDrawing {
 public:
  LayeredDrawing(const ViewerScene& scene, const ObjectShape& shape, const Settling* settling);

  // Whether `boxes` boxes' faces and edges each have a name of their own within `bits`
  // bits (those of a name, or fewer), after those of the background, the grid and the
  // axes.
  static bool namesEveryBox(std::uint64_t boxes, unsigned bits = 32) {
    return kFirstBox + 2 * boxes <= (std::uint64_t{1} << bits);
  }

  // Draws frame `f`, whose positions `frame` holds, and gives its picture as RGB bytes,
  // top row first.
  void draw(FrameCanvas& canvas, const ParticleFrame& frame, std::int32_t f, const ViewState& view,
            std::vector<std::uint8_t>& rgb);

 private:
  // Into the layer: the grid and axes the first time, then the particles settled by
  // frame `f`, at their places in it, which stay theirs.
  void addSettled(FrameCanvas& canvas, const ParticleFrame& frame, std::int32_t f, const ViewState& view);
  // Frame `f` into `rgb`: the layer, and over it the particles still moving, each pixel
  // the surface nearer, or at the same depth the one named first.
  void drawOverLayer(FrameCanvas& canvas, const ParticleFrame& frame, std::int32_t f, const ViewState& view,
                     std::vector<std::uint8_t>& rgb);
  // Draws `pixels` (the grid and axes too, with `withGrid`) in their names' colours
  // into the canvas's picture, and hands what shows to `take(row, depths, colours)`
  // a row at a time: the row (from the top one), each pixel's depth, and the R, G, B
  // and A bytes of its name's colour.
  template <class Take>
  void drawNames(FrameCanvas& canvas, const ParticleFrame& frame, const std::vector<std::uint32_t>& pixels,
                 const ViewState& view, bool withGrid, Take take);
  // The colour of the surface `name` in the view's draw mode, those of the background,
  // the grid and the axes at `named`.
  ColorRGBA colourOf(std::uint32_t name, bool outlined, const ColorRGBA* named) const {
    if (name < kFirstBox) return named[name];
    const std::uint32_t box = name - kFirstBox;
    return (box & 1u) && outlined ? outlineColor : pixelColours_[box >> 1];
  }

  // The names of the surfaces, in the order the reference drawing draws them: nothing
  // (the background), the grid, the x, y and z axes, then each box's faces and edges.
  static constexpr std::uint32_t kFirstBox = 5;

  ViewerDrawing drawing_;
  std::vector<ColorRGBA> pixelColours_;  // each pixel's colour, as the drawing takes it
  const Settling* settling_;
  std::size_t drawnIntoLayer_ = 0;  // how many of settling_->inOrder the layer holds
  bool layerBegun_ = false;
  CameraValues layerCamera_;  // the camera the layer was drawn with
  // What shows at each pixel of the layer, top row first: its depth above the name of
  // its surface, in keys_'s format, so that the nearer surface, or at the same depth the
  // one named first, has the smaller number.
  LayerKeyFormat keys_;
  std::vector<std::uint8_t> layer_;
  std::vector<std::uint32_t> newlySettled_, moving_;
  std::vector<std::uint32_t> bandDepths_;  // a band of rows read back at a time
  std::vector<std::uint8_t> bandColours_;
};

}  // namespace zorvel
