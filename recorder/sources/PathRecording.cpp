#include "recorder/sources/PathRecording.h"

#include <optional>
#include <ostream>
#include <vector>

#include "common/ProgramNames.h"
#include "common/WholeFile.h"
#include "recorder/drawing/ParticleDrawer.h"
#include "recorder/drawing/Settling.h"
#include "recorder/sources/ParticleBounds.h"
#include "recorder/sources/PathFileCheck.h"
#include "recorder/sources/PathFileSurvey.h"
#include "viewer/PathFileReader.h"
#include "viewer/SceneLoading.h"

namespace zorvel {

namespace {

// The positions of the viewer's animation, read from the path file frame by frame: a
// path file says where a frame starts only by reading what comes before it.
class PathPositions : public PositionSource {
 public:
  PathPositions(std::string pathFile, PathFrameStream stream)
      : pathFile_(std::move(pathFile)), stream_(std::move(stream)) {}

  Result<void> positionsOf(std::int32_t f, float* coordinates) override {
    for (; read_ <= f; ++read_)
      if (const Result<void> read = stream_.readFrame(coordinates); !read)
        return failure(read.failure().kind,
                       pathFile_ + " changed since it was read through: it " + read.failure().reason);
    return {};
  }

 private:
  std::string pathFile_;
  PathFrameStream stream_;
  std::int32_t read_ = 0;  // the frames read so far
};

// The viewer's animation: its files loaded as the viewer loads them, but for the
// frames, which the drawers read from the path file.
class PathRecording : public Recording {
 public:
  PathRecording(ViewerScene scene, ObjectShape shape, std::string pathFile, PathFileSurvey survey, std::int32_t frames,
                bool settledLayer)
      : particles_{std::move(scene), std::move(shape), std::nullopt},
        pathFile_(std::move(pathFile)),
        home_(std::move(survey.lastFrame)),
        frameCount_(frames) {
    positions_.add({survey.low[0], survey.low[1], survey.low[2]});
    positions_.add({survey.high[0], survey.high[1], survey.high[2]});
    if (settledLayer) particles_.settling = Settling::of(std::move(survey.settledFrom));
  }

  std::int32_t frameCount() const override { return frameCount_; }
  Result<std::unique_ptr<FrameDrawer>> drawer(std::int32_t first, std::int32_t step) const override {
    // From the start again, for the drawing.
    Result<PathFrameStream> stream = PathFrameStream::open(pathFile_);
    if (!stream) return failure(stream.failure().kind, "cannot read " + pathFile_ + ": " + stream.failure().reason);
    return std::unique_ptr<FrameDrawer>(std::make_unique<ParticleDrawer>(
        particles_, std::make_unique<PathPositions>(pathFile_, std::move(stream.value())),
        FrameTurns(frameCount_, first, step)));
  }
  Bounds homeBounds() const override { return pixelBounds(particles_.scene, particles_.shape, home_.data()); }
  Bounds boundsOfAllFrames() const override { return pixelsWithin(positions_, particles_.scene, particles_.shape); }

 private:
  ParticleScene particles_;
  std::string pathFile_;
  std::vector<float> home_;  // the last complete frame
  Bounds positions_;         // where the positions of the complete frames lie
  std::int32_t frameCount_;
};

// A path file that cannot be played: the viewer's line for it on `lines`, and the
// failure that names the file.
Failure cannotPlay(const Failure& why, const std::string& pathFile, std::ostream& lines) {
  printPathFailure(lines, why);
  return failure(why.kind, pathFile + ": " + why.reason);
}

ViewerAttributes viewerAttributes(const PathSource& o) {
  ViewerAttributes attributes;
  attributes.pPathFile = o.pathFile;
  attributes.rtgFile = o.objectFile;
  attributes.pColorFile = o.colourFile;
  attributes.pOpacityFile = o.opacityFile;
  attributes.pScaleFile = o.scaleFile;
  attributes.pScaleMin = o.scaleMin;
  attributes.pScaleMax = o.scaleMax;
  return attributes;
}

}  // namespace

Result<std::unique_ptr<Recording>> loadPathRecording(const PathSource& o, const LoadingSettings& settings,
                                                     std::ostream& lines, std::ostream& err) {
  if (const Result<std::string> start = readFileStart(o.pathFile, 4096))
    if (const Result<void> plausible = checkPathFileStart(start.value()); !plausible)
      return cannotPlay(plausible.failure(), o.pathFile, lines);
  ViewerScene scene;
  ObjectShape shape = loadSceneAttributes(viewerAttributes(o), scene, lines, err, kRecorderName);
  Result<PathFrameStream> stream = PathFrameStream::open(o.pathFile);
  if (!stream) return cannotPlay(stream.failure(), o.pathFile, lines);
  const std::uint32_t pixels = stream->pixelCount();
  if (pixels != scene.pixelCount) scene.allocatePixels(pixels);
  CachingLines caching(lines);
  CutShortLine cutShort(err);
  PathCacheListener& listener = settings.verbose ? static_cast<PathCacheListener&>(caching) : cutShort;
  listener.counts(pixels, stream->frameCount());
  PathFileSurvey survey = surveyPathFile(stream.value());
  const Result<std::int32_t> frames = framesToPlay(survey.completeFrames, stream->frameCount(), listener);
  if (!frames) return cannotPlay(frames.failure(), o.pathFile, lines);
  return std::unique_ptr<Recording>(std::make_unique<PathRecording>(
      std::move(scene), std::move(shape), o.pathFile, std::move(survey), frames.value(), settings.settledLayer));
}

}  // namespace zorvel
