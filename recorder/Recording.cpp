#include "recorder/Recording.h"

#include <cmath>
#include <optional>
#include <ostream>

#include "blender/BlendDrawing.h"
#include "blender/BlendPlayback.h"
#include "blender/BlenderDriver.h"
#include "blender/ConfigurationReading.h"
#include "blender/KeyframeFrames.h"
#include "common/ConsoleText.h"
#include "common/MemoryBudget.h"
#include "common/ProgramNames.h"
#include "viewer/SceneLoading.h"
#include "viewer/ViewerDrawing.h"

namespace zorvel {

namespace {

// The viewer's animation.
class ViewerRecording : public Recording {
 public:
  // Loads as the viewer does, its lines on `lines`; false when it cannot play.
  bool load(const RecorderOptions& o, std::ostream& lines) {
    ViewerAttributes attributes;
    attributes.pPathFile = o.pathFile;
    attributes.rtgFile = o.objectFile;
    attributes.pColorFile = o.colourFile;
    attributes.pOpacityFile = o.opacityFile;
    attributes.pScaleFile = o.scaleFile;
    attributes.pScaleMin = o.scaleMin;
    attributes.pScaleMax = o.scaleMax;
    CountsOnly counts(lines);
    std::optional<ObjectShape> shape = loadScene(attributes, scene_, counts, lines, lines, kRecorderName);
    if (!shape) return false;
    shape_ = std::move(*shape);
    drawing_ = std::make_unique<ViewerDrawing>(scene_, shape_);
    return true;
  }

  std::int32_t frameCount() const override { return scene_.frameCount; }
  void drawNext(const ViewState& view) override { drawing_->draw(next_++, view); }

  Bounds homeBounds() const override {
    // The object's own extent around each pixel, or the pixel's cube.
    Bounds object;
    for (std::size_t n = 0; n < shape_.objectCornersX.size(); ++n)
      object.add({shape_.objectCornersX[n], shape_.objectCornersY[n], shape_.objectCornersZ[n]});
    Bounds bounds;
    const ParticleFrame home = scene_.animation.frame(scene_.frameCount - 1);
    for (std::uint32_t i = 0; i < home.count; ++i) {
      const Vector3 p = home.position(i);
      if (!object.empty) {
        bounds.add({p.x + object.low.x, p.y + object.low.y, p.z + object.low.z});
        bounds.add({p.x + object.high.x, p.y + object.high.y, p.z + object.high.z});
      } else {
        const float h = std::fabs(scene_.pixelScale[i]) * 0.5f;
        bounds.add({p.x - h, p.y - h, p.z - h});
        bounds.add({p.x + h, p.y + h, p.z + h});
      }
    }
    return bounds;
  }

 private:
  // The counts and a cut file's line, without a line per frame: the recorder has its
  // own progress.
  struct CountsOnly : CachingLines {
    explicit CountsOnly(std::ostream& out) : CachingLines(out) {}
    void frameCached(std::int32_t frame, bool complete) override {
      if (!complete) CachingLines::frameCached(frame, complete);
    }
  };

  ViewerScene scene_;
  ObjectShape shape_;
  std::unique_ptr<ViewerDrawing> drawing_;
  std::int32_t next_ = 0;
};

// The blender's animation.
class BlendRecording : public Recording {
 public:
  // Reads the configuration and builds the frames as the blender does, its lines on
  // `lines`; false when it cannot play.
  bool load(const RecorderOptions& o, std::ostream& lines) {
    readConfigurationFile(config_, o.blenderConfig, lines, lines, kRecorderName);
    if (!config_.configLoaded) return false;
    Result<BlendFrames> frames = buildFrames(config_, availableMemory());
    if (!frames) {
      lines << kRecorderName << ": " << frames.failure().reason << std::endl;
      return false;
    }
    printKeyframeLines(lines, config_.keyframeCount);
    frames_ = std::move(frames.value());
    drawing_ = std::make_unique<BlendDrawing>(config_, frames_);
    playback_ = startOfBlend(frames_.keyframes);
    return true;
  }

  std::int32_t frameCount() const override { return frames_.store.frameCount; }
  void drawNext(const ViewState& view) override {
    drawing_->draw(playback_, view);
    stepBlend(playback_, frames_.keyframes);
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

 private:
  BlenderConfig config_;
  BlendFrames frames_;
  std::unique_ptr<BlendDrawing> drawing_;
  BlendPlayback playback_;
};

}  // namespace

Result<std::unique_ptr<Recording>> loadRecording(const RecorderOptions& options, std::ostream& lines) {
  const Failure cannotPlay = failure(FailureKind::WrongFormat, "nothing written");
  if (options.blenderConfig.empty()) {
    auto viewer = std::make_unique<ViewerRecording>();
    if (!viewer->load(options, lines)) return cannotPlay;
    return std::unique_ptr<Recording>(std::move(viewer));
  }
  auto blender = std::make_unique<BlendRecording>();
  if (!blender->load(options, lines)) return cannotPlay;
  return std::unique_ptr<Recording>(std::move(blender));
}

}  // namespace zorvel
