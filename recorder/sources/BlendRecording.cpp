#include "recorder/sources/BlendRecording.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "blender/BlendDrawing.h"
#include "blender/BlendPlayback.h"
#include "blender/BlenderDriver.h"
#include "blender/ConfigurationReading.h"
#include "blender/KeyframeFrames.h"
#include "common/MemoryBudget.h"
#include "common/ProgramNames.h"

namespace zorvel {

namespace {

// Frames of the blender's animation.
class BlendDrawer : public FrameDrawer {
 public:
  BlendDrawer(const BlenderConfig& config, const BlendFrames& frames, std::int32_t first, std::int32_t step)
      : frames_(frames),
        step_(step),
        skip_(first),
        playback_(startOfBlend(frames.keyframes)),
        drawing_(config, frames) {}

  // Every frame the recording counts is built: the next one is always there.
  Result<void> next() override {
    for (; skip_ > 0; --skip_) stepBlend(playback_, frames_.keyframes);
    skip_ = step_;
    return {};
  }
  void draw(FrameCanvas& canvas, const ViewState& view, std::vector<std::uint8_t>& rgb) override {
    // Each frame follows one drawn as it is, as in a window that has been playing.
    canvas.renderer.beginPicture(canvas.camera, view, gridBlendingAfter(view), canvas.colours);
    drawing_.draw(canvas.renderer, playback_, view);
    readBack(canvas, rgb);
  }

 private:
  const BlendFrames& frames_;
  std::int32_t step_;
  std::int32_t skip_;  // the steps to take before the next frame
  BlendPlayback playback_;
  BlendDrawing drawing_;
};

// The blender's animation.
class BlendRecording : public Recording {
 public:
  BlendRecording(BlenderConfig config, BlendFrames frames) : config_(std::move(config)), frames_(std::move(frames)) {}

  std::int32_t frameCount() const override { return frames_.store.frameCount; }
  Result<std::unique_ptr<FrameDrawer>> drawer(std::int32_t first, std::int32_t step) const override {
    return std::unique_ptr<FrameDrawer>(std::make_unique<BlendDrawer>(config_, frames_, first, step));
  }

  Bounds homeBounds() const override {
    Bounds bounds;
    const float depth = std::max(std::fabs(config_.minDisplacement), std::fabs(config_.maxDisplacement)) * 0.5f;
    for (const KeyframePixel& pixel : config_.keyframes[0]->records) {
      const Vector3& p = pixel.position;
      bounds.add({p.x - 0.5f, p.y - 0.5f, p.z - depth});
      bounds.add({p.x + 0.5f, p.y + 0.5f, p.z + depth});
    }
    return bounds;
  }
  // The boxes stand where they stand at home; only their depths change.
  Bounds boundsOfAllFrames() const override { return homeBounds(); }

 private:
  BlenderConfig config_;
  BlendFrames frames_;
};

}  // namespace

Result<std::unique_ptr<Recording>> loadBlendRecording(const BlendSource& o, std::ostream& lines, std::ostream& err) {
  BlenderConfig config;
  if (const Result<void> read = readConfigurationFile(config, o.configuration, lines, err, kRecorderName); !read)
    return read.failure();
  Result<BlendFrames> frames = buildFrames(config, availableMemory());
  if (!frames) return frames.failure();
  printKeyframeLines(lines, config.keyframeCount);
  return std::unique_ptr<Recording>(std::make_unique<BlendRecording>(std::move(config), std::move(frames.value())));
}

}  // namespace zorvel
