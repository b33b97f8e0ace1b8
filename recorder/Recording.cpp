#include "recorder/Recording.h"

#include <cmath>
#include <optional>
#include <ostream>
#include <vector>

#include "blender/BlendDrawing.h"
#include "blender/BlendPlayback.h"
#include "blender/BlenderDriver.h"
#include "blender/ConfigurationReading.h"
#include "blender/KeyframeFrames.h"
#include "common/ConsoleText.h"
#include "common/MemoryBudget.h"
#include "common/ProgramNames.h"
#include "common/WholeFile.h"
#include "recorder/OffscreenContext.h"
#include "recorder/PathFileCheck.h"
#include "recorder/PictureRecording.h"
#include "recorder/SettledLayer.h"
#include "viewer/PathFileReader.h"
#include "viewer/SceneLoading.h"
#include "viewer/ViewerDrawing.h"

namespace zorvel {

namespace {

// Frames of the viewer's animation, read from the path file as they are drawn.
class ViewerDrawer : public FrameDrawer {
 public:
  ViewerDrawer(const ViewerScene& scene, const ObjectShape& shape, const Settling* settling, PathFrameStream stream,
               std::int32_t frames, std::int32_t first, std::int32_t step)
      : scene_(scene),
        stream_(std::move(stream)),
        frames_(frames),
        next_(first),
        step_(step),
        frame_(std::size_t{scene.pixelCount} * 3),
        drawing_(scene, shape, settling) {}

  bool next() override {
    if (next_ >= frames_) return false;
    // The frames between are read too: a path file says where a frame starts only by
    // reading what comes before it.
    for (; read_ <= next_; ++read_)
      if (!stream_.readFrame(frame_.data())) return false;
    taken_ = next_;
    next_ += step_;
    return true;
  }
  void draw(FrameCanvas& canvas, const ViewState& view, std::vector<std::uint8_t>& rgb) override {
    drawing_.draw(canvas, ParticleFrame{frame_.data(), scene_.pixelCount}, taken_, view, rgb);
  }

 private:
  const ViewerScene& scene_;
  PathFrameStream stream_;
  std::int32_t frames_, next_, step_;
  std::int32_t read_ = 0;     // the frames read so far
  std::int32_t taken_ = -1;   // the frame taken
  std::vector<float> frame_;  // its positions
  LayeredDrawing drawing_;
};

// The viewer's animation: its files loaded as the viewer loads them, but for the
// frames, which the drawers read from the path file.
class ViewerRecording : public Recording {
 public:
  // Loads as the viewer does, but for the frames; false when it cannot play.
  bool load(const RecorderOptions& o, std::ostream& lines, std::ostream& err) {
    ViewerAttributes attributes;
    attributes.pPathFile = o.pathFile;
    attributes.rtgFile = o.objectFile;
    attributes.pColorFile = o.colourFile;
    attributes.pOpacityFile = o.opacityFile;
    attributes.pScaleFile = o.scaleFile;
    attributes.pScaleMin = o.scaleMin;
    attributes.pScaleMax = o.scaleMax;
    if (const Result<std::string> start = readFileStart(o.pathFile, 4096)) {
      if (const Result<void> plausible = checkPathFileStart(start.value()); !plausible) {
        reportPathFailure(plausible.failure(), o.pathFile, lines, err, kRecorderName);
        return false;
      }
    }
    shape_ = loadSceneAttributes(attributes, scene_, lines, err, kRecorderName);
    Result<PathFrameStream> stream = PathFrameStream::open(o.pathFile);
    if (!stream) {
      reportPathFailure(stream.failure(), o.pathFile, lines, err, kRecorderName);
      return false;
    }
    const std::uint32_t pixels = stream->pixelCount();
    if (pixels != scene_.pixelCount) scene_.allocatePixels(pixels);
    CachingLines caching(lines);
    caching.counts(pixels, stream->frameCount());
    frameCount_ = readThrough(stream.value());
    if (frameCount_ < stream->frameCount()) {
      // The viewer's line for the frame that is not complete.
      if (o.verbose)
        caching.frameCached(frameCount_, false);
      else if (frameCount_ > 0)
        printCutShort(err, frameCount_);
    }
    if (frameCount_ == 0) {
      reportPathFailure(failure(FailureKind::CutShort, "ends inside frame 0: there is no complete frame to play"),
                        o.pathFile, lines, err, kRecorderName);
      return false;
    }
    pathFile_ = o.pathFile;
    if (o.settledLayer) settling_ = Settling::of(settledFrom_);
    settledFrom_ = {};
    return true;
  }

  std::int32_t frameCount() const override { return frameCount_; }
  Result<std::unique_ptr<FrameDrawer>> drawer(std::int32_t first, std::int32_t step) const override {
    // From the start again, for the drawing.
    Result<PathFrameStream> stream = PathFrameStream::open(pathFile_);
    if (!stream) return failure(stream.failure().kind, "cannot read " + pathFile_ + ": " + stream.failure().reason);
    return std::unique_ptr<FrameDrawer>(std::make_unique<ViewerDrawer>(
        scene_, shape_, settling_ ? &*settling_ : nullptr, std::move(stream.value()), frameCount_, first, step));
  }

  Bounds homeBounds() const override { return pixelBounds(scene_, shape_, home_.data()); }
  Bounds boundsOfAllFrames() const override { return pixelsWithin(positions_, scene_, shape_); }

 private:
  // Reads every frame once, keeping the last complete one, the picture at home, where
  // the positions of every complete frame lie, and the frame each particle settles
  // from; returns how many were complete.
  std::int32_t readThrough(PathFrameStream& stream) {
    PathFileSurvey survey = surveyPathFile(stream);
    home_ = std::move(survey.lastFrame);
    if (survey.completeFrames > 0) {
      positions_.add({survey.low[0], survey.low[1], survey.low[2]});
      positions_.add({survey.high[0], survey.high[1], survey.high[2]});
    }
    settledFrom_ = std::move(survey.settledFrom);
    return survey.completeFrames;
  }

  ViewerScene scene_;
  ObjectShape shape_;
  std::string pathFile_;
  std::vector<float> home_;  // the last complete frame
  Bounds positions_;         // where the positions of the complete frames lie
  std::int32_t frameCount_ = 0;
  std::vector<std::int32_t> settledFrom_;  // as read through
  std::optional<Settling> settling_;       // for the settled layer, when it is drawn
};

// Frames of the blender's animation.
class BlendDrawer : public FrameDrawer {
 public:
  BlendDrawer(const BlenderConfig& config, const BlendFrames& frames, std::int32_t first, std::int32_t step)
      : frames_(frames),
        step_(step),
        skip_(first),
        playback_(startOfBlend(frames.keyframes)),
        drawing_(config, frames) {}

  bool next() override {
    for (; skip_ > 0; --skip_) stepBlend(playback_, frames_.keyframes);
    skip_ = step_;
    return true;
  }
  void draw(FrameCanvas& canvas, const ViewState& view, std::vector<std::uint8_t>& rgb) override {
    canvas.renderer.beginPicture(canvas.camera, view);
    drawing_.draw(canvas.renderer, playback_, view);
    canvas.renderer.waitUntilDrawn();
    canvas.reading.start();
    canvas.context.readPixels(rgb);
    canvas.reading.stop();
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
  // Reads the configuration and builds the frames as the blender does; false when it
  // cannot play.
  bool load(const RecorderOptions& o, std::ostream& lines, std::ostream& err) {
    readConfigurationFile(config_, o.blenderConfig, lines, err, kRecorderName);
    if (!config_.configLoaded) return false;
    Result<BlendFrames> frames = buildFrames(config_, availableMemory());
    if (!frames) {
      err << kRecorderName << ": " << frames.failure().reason << std::endl;
      return false;
    }
    printKeyframeLines(lines, config_.keyframeCount);
    frames_ = std::move(frames.value());
    return true;
  }

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

namespace {

// The object's own extent around a position.
Bounds objectExtent(const ObjectShape& shape) {
  Bounds object;
  for (std::size_t n = 0; n < shape.objectCornersX.size(); ++n)
    object.add({shape.objectCornersX[n], shape.objectCornersY[n], shape.objectCornersZ[n]});
  return object;
}

}  // namespace

Bounds pixelsWithin(const Bounds& positions, const ViewerScene& scene, const ObjectShape& shape) {
  if (positions.empty) return positions;
  Bounds extent = objectExtent(shape);
  if (extent.empty) {
    float half = 0;
    for (const float scale : scene.pixelScale) half = std::max(half, std::fabs(scale) * 0.5f);
    extent.add({-half, -half, -half});
    extent.add({half, half, half});
  }
  Bounds bounds;
  bounds.add({positions.low.x + extent.low.x, positions.low.y + extent.low.y, positions.low.z + extent.low.z});
  bounds.add({positions.high.x + extent.high.x, positions.high.y + extent.high.y, positions.high.z + extent.high.z});
  return bounds;
}

Bounds pixelBounds(const ViewerScene& scene, const ObjectShape& shape, const float* coordinates) {
  // The object's own extent around each pixel, or the pixel's cube.
  const Bounds object = objectExtent(shape);
  Bounds bounds;
  for (std::size_t i = 0; i < scene.pixelCount; ++i) {
    const Vector3 p{coordinates[3 * i], coordinates[3 * i + 1], coordinates[3 * i + 2]};
    if (!object.empty) {
      bounds.add({p.x + object.low.x, p.y + object.low.y, p.z + object.low.z});
      bounds.add({p.x + object.high.x, p.y + object.high.y, p.z + object.high.z});
    } else {
      const float h = std::fabs(scene.pixelScale[i]) * 0.5f;
      bounds.add({p.x - h, p.y - h, p.z - h});
      bounds.add({p.x + h, p.y + h, p.z + h});
    }
  }
  return bounds;
}

Result<std::unique_ptr<Recording>> loadRecording(const RecorderOptions& options, std::ostream& lines,
                                                 std::ostream& err) {
  const Failure cannotPlay = failure(FailureKind::WrongFormat, "nothing written");
  if (!options.crunch.pColorMap.empty()) return loadPictureRecording(options, options.seed.value_or(0), lines, err);
  if (options.blenderConfig.empty()) {
    auto viewer = std::make_unique<ViewerRecording>();
    if (!viewer->load(options, lines, err)) return cannotPlay;
    return std::unique_ptr<Recording>(std::move(viewer));
  }
  auto blender = std::make_unique<BlendRecording>();
  if (!blender->load(options, lines, err)) return cannotPlay;
  return std::unique_ptr<Recording>(std::move(blender));
}

}  // namespace zorvel
