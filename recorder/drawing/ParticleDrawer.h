#pragma once

// The frames of a particle recording, the viewer's picture of each: one drawer for the
// path file and the picture alike, fed by a source of positions that gives each frame's
// positions in turn.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "common/Result.h"
#include "recorder/drawing/Recording.h"
#include "recorder/drawing/SettledLayer.h"
#include "recorder/drawing/Settling.h"
#include "viewer/ObjectShape.h"
#include "viewer/ViewerScene.h"

namespace zorvel {

// Where the positions of a recording's frames come from: a path file read as it is
// drawn, or the particles stepped home in memory.
class PositionSource {
 public:
  virtual ~PositionSource() = default;
  // Writes the positions of frame `f` at `coordinates` (x, y, z a particle); frames come
  // in ascending order. Fails, saying which frame and why, where it cannot be had.
  virtual Result<void> positionsOf(std::int32_t f, float* coordinates) = 0;
};

// What the particles are drawn as: the viewer's scene of colours and sizes, the object
// drawn for each (none: boxes), and which particles settle when (none: every particle
// drawn in every frame). A recording owns it and outlives its drawers.
struct ParticleScene {
  ViewerScene scene;
  ObjectShape shape;
  std::optional<Settling> settling;
};

// Draws the frames `turns` gives of `particles`, at the positions `positions` gives.
// Keeps a reference to `particles`.
class ParticleDrawer : public FrameDrawer {
 public:
  ParticleDrawer(const ParticleScene& particles, std::unique_ptr<PositionSource> positions, FrameTurns turns)
      : count_(particles.scene.pixelCount),
        positions_(std::move(positions)),
        turns_(turns),
        coordinates_(std::size_t{count_} * 3),
        drawing_(particles.scene, particles.shape, particles.settling ? &*particles.settling : nullptr) {}

  Result<void> next() override {
    const Result<std::int32_t> f = turns_.take();
    if (!f) return f.failure();
    return positions_->positionsOf(f.value(), coordinates_.data());
  }
  void draw(FrameCanvas& canvas, const ViewState& view, std::vector<std::uint8_t>& rgb) override {
    drawing_.draw(canvas, ParticleFrame{coordinates_.data(), count_}, turns_.taken(), view, rgb);
  }

 private:
  std::uint32_t count_;
  std::unique_ptr<PositionSource> positions_;
  FrameTurns turns_;
  std::vector<float> coordinates_;  // the positions of the frame taken
  LayeredDrawing drawing_;
};

}  // namespace zorvel
