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
#include "viewer/PathFileReader.h"
#include "viewer/SceneLoading.h"
#include "viewer/ViewerDrawing.h"

namespace zorvel {

namespace {

// The viewer's animation, its frames read from the path file as they are drawn.
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
    // From the start again, for the drawing.
    Result<PathFrameStream> again = PathFrameStream::open(o.pathFile);
    if (!again) {
      reportPathFailure(again.failure(), o.pathFile, lines, err, kRecorderName);
      return false;
    }
    stream_ = std::make_unique<PathFrameStream>(std::move(again.value()));
    drawing_ = std::make_unique<ViewerDrawing>(scene_, shape_);
    return true;
  }

  std::int32_t frameCount() const override { return frameCount_; }
  bool nextFrame() override { return next_++ < frameCount_ && stream_->readFrame(frame_.data()); }
  void drawFrame(const ViewState& view) override {
    drawing_->draw(ParticleFrame{frame_.data(), scene_.pixelCount}, view);
  }

  Bounds homeBounds() const override {
    // The object's own extent around each pixel, or the pixel's cube.
    Bounds object;
    for (std::size_t n = 0; n < shape_.objectCornersX.size(); ++n)
      object.add({shape_.objectCornersX[n], shape_.objectCornersY[n], shape_.objectCornersZ[n]});
    Bounds bounds;
    for (std::size_t i = 0; i < scene_.pixelCount; ++i) {
      const Vector3 p{home_[3 * i], home_[3 * i + 1], home_[3 * i + 2]};
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
  // Reads every frame once, keeping the last complete one, the picture at home; returns
  // how many were complete.
  std::int32_t readThrough(PathFrameStream& stream) {
    frame_.resize(std::size_t{stream.pixelCount()} * 3);
    home_.resize(frame_.size());
    std::int32_t complete = 0;
    for (; complete < stream.frameCount() && stream.readFrame(frame_.data()); ++complete) home_.swap(frame_);
    return complete;
  }

  ViewerScene scene_;
  ObjectShape shape_;
  std::unique_ptr<PathFrameStream> stream_;
  std::vector<float> frame_;  // the frame taken
  std::vector<float> home_;   // the last complete frame
  std::int32_t frameCount_ = 0;
  std::int32_t next_ = 0;
  std::unique_ptr<ViewerDrawing> drawing_;
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
    drawing_ = std::make_unique<BlendDrawing>(config_, frames_);
    playback_ = startOfBlend(frames_.keyframes);
    return true;
  }

  std::int32_t frameCount() const override { return frames_.store.frameCount; }
  bool nextFrame() override {
    if (started_) stepBlend(playback_, frames_.keyframes);
    started_ = true;
    return true;
  }
  void drawFrame(const ViewState& view) override { drawing_->draw(playback_, view); }

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
  bool started_ = false;
};

}  // namespace

Result<std::unique_ptr<Recording>> loadRecording(const RecorderOptions& options, std::ostream& lines,
                                                 std::ostream& err) {
  const Failure cannotPlay = failure(FailureKind::WrongFormat, "nothing written");
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
