#pragma once

// The blender's picture of one frame, drawn through a renderer: every pixel
// a unit square extruded by its displacement, at its place in the current keyframe's
// picture. No window here: the blender's window and the recorder both draw through it.

#include "blender/BlendPlayback.h"
#include "blender/BlenderConfig.h"
#include "blender/KeyframeFrames.h"
#include "playback/Renderer.h"

namespace zorvel {

class BlendDrawing {
 public:
  // Keeps references to `config` and `frames`, which must outlive it.
  BlendDrawing(const BlenderConfig& config, const BlendFrames& frames) : config_(config), frames_(frames) {}

  // Draws the frame `playback` stands on.
  void draw(Renderer& renderer, const BlendPlayback& playback, const ViewState& view);

 private:
  const BlenderConfig& config_;
  const BlendFrames& frames_;
  BoxBatch boxes_;
};

}  // namespace zorvel
