#include "recorder/Recorder.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <iostream>
#include <mutex>
#include <new>
#include <optional>
#include <sstream>
#include <thread>

#include <GL/gl.h>

#include "blender/BlendDrawing.h"
#include "blender/BlendPlayback.h"
#include "recorder/CameraFraming.h"
#include "blender/ConfigurationReading.h"
#include "recorder/FrameSink.h"
#include "blender/KeyframeFrames.h"
#include "common/MemoryBudget.h"
#include "recorder/OffscreenContext.h"
#include "recorder/RecorderOptions.h"
#include "playback/SceneDrawing.h"
#include "viewer/SceneLoading.h"
#include "viewer/ViewerDrawing.h"
#include "common/WholeFile.h"

namespace zorvel {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

void onInterrupt(int) { gInterrupted = 1; }

void say(const std::string& line) { std::cerr << "Zorvel-recorder: " << line << std::endl; }

// What is recorded: frames drawn one after the other, from the first on.
class Recording {
 public:
  virtual ~Recording() = default;
  virtual std::int32_t frameCount() const = 0;
  // Draws the next frame (the first on the first call) into the current context.
  virtual void drawNext(const ViewState& view) = 0;
  // Where the picture lies at home, boxes or objects included.
  virtual Bounds homeBounds() const = 0;
};

// The viewer's animation.
class ViewerRecording : public Recording {
 public:
  // Loads as the viewer does, its lines on standard error; false when it cannot play.
  bool load(const RecorderOptions& o) {
    ViewerAttributes attributes;
    attributes.pPathFile = o.pathFile;
    attributes.rtgFile = o.objectFile;
    attributes.pColorFile = o.colourFile;
    attributes.pOpacityFile = o.opacityFile;
    attributes.pScaleFile = o.scaleFile;
    attributes.pScaleMin = o.scaleMin;
    attributes.pScaleMax = o.scaleMax;
    CountsOnly lines;
    std::optional<ObjectShape> shape = loadScene(attributes, scene_, lines, std::cerr, std::cerr, "Zorvel-recorder");
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
    CountsOnly() : CachingLines(std::cerr) {}
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
  // standard error; false when it cannot play.
  bool load(const RecorderOptions& o) {
    readConfigurationFile(config_, o.blenderConfig, std::cerr, std::cerr, "Zorvel-recorder");
    if (!config_.configLoaded) return false;
    Result<BlendFrames> frames = buildFrames(config_, availableMemory());
    if (!frames) {
      say(frames.failure().reason);
      return false;
    }
    printKeyframeLines(std::cerr, config_.keyframeCount);
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

// One line about the recording's progress on standard error: updated in place on a
// terminal, else printed at every tenth of the frames.
class Progress {
 public:
  explicit Progress(std::int64_t total) : total_(total), terminal_(::isatty(STDERR_FILENO)) {}

  void frameDone(std::int64_t done) {
    const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
    const double rate = seconds > 0 ? done / seconds : 0;
    std::ostringstream line;
    line.setf(std::ios::fixed);
    line.precision(1);
    line << "recording: frame " << done << " of " << total_ << ", " << rate << " frames/s";
    if (rate > 0) line << ", " << std::lround((total_ - done) / rate) << " s left";
    if (terminal_) {
      std::cerr << '\r' << line.str() << "   " << std::flush;
      if (done == total_) std::cerr << std::endl;
    } else if (done * 10 / total_ != (done - 1) * 10 / total_) {
      std::cerr << "Zorvel-recorder: " << line.str() << std::endl;
    }
  }

 private:
  using Clock = std::chrono::steady_clock;
  std::int64_t total_;
  bool terminal_;
  Clock::time_point start_ = Clock::now();
};

// Adds up the time between start() and stop().
class Stopwatch {
 public:
  void start() { begun_ = Clock::now(); }
  void stop() { total_ += Clock::now() - begun_; }
  double seconds() const { return std::chrono::duration<double>(total_).count(); }

 private:
  using Clock = std::chrono::steady_clock;
  Clock::time_point begun_;
  Clock::duration total_{};
};

// Hands pictures to the sink on a thread of its own, so that the next frame is drawn
// while the last is written; holds at most two pictures.
class PictureWriter {
 public:
  explicit PictureWriter(FrameSink& sink) : sink_(sink), thread_([this] { run(); }) {}
  ~PictureWriter() { close(); }

  // A buffer to draw the next picture into.
  std::vector<std::uint8_t> takeBuffer() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return !free_.empty() || failed_; });
    if (free_.empty()) return {};
    std::vector<std::uint8_t> buffer = std::move(free_.back());
    free_.pop_back();
    return buffer;
  }
  // Queues a picture `times` times; false once the sink failed.
  bool put(std::vector<std::uint8_t> picture, std::int64_t times = 1) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (failed_) return false;
    queue_.push_back({std::move(picture), times});
    changed_.notify_all();
    return true;
  }
  // Waits until every picture is written; false when the sink failed.
  bool close() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      closing_ = true;
      changed_.notify_all();
    }
    if (thread_.joinable()) thread_.join();
    return !failed_;
  }

 private:
  struct Job {
    std::vector<std::uint8_t> picture;
    std::int64_t times;
  };

  void run() {
    for (;;) {
      Job job;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return !queue_.empty() || closing_; });
        if (queue_.empty()) return;
        job = std::move(queue_.front());
        queue_.erase(queue_.begin());
      }
      bool ok = true;
      for (std::int64_t t = 0; ok && t < job.times; ++t) ok = sink_.put(job.picture);
      std::lock_guard<std::mutex> lock(mutex_);
      free_.push_back(std::move(job.picture));
      if (!ok) failed_ = true;
      changed_.notify_all();
      if (!ok) return;
    }
  }

  FrameSink& sink_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Job> queue_;
  std::vector<std::vector<std::uint8_t>> free_{std::vector<std::uint8_t>(), std::vector<std::uint8_t>()};
  bool closing_ = false;
  bool failed_ = false;
  std::thread thread_;
};

// The camera the options ask for.
ViewState cameraFor(const RecorderOptions& o, const Recording& recording) {
  ViewState view = initialViewState(0);
  if (!o.camera.viewerStart) {
    const Bounds bounds = recording.homeBounds();
    if (!bounds.empty) frameCamera(view, bounds, kFramedTurnX, kFramedTurnY, o.width, o.height);
  }
  if (o.camera.zoom) view.zoom = *o.camera.zoom;
  if (o.camera.panX) view.panX = *o.camera.panX;
  if (o.camera.panY) view.panY = *o.camera.panY;
  if (o.camera.rotateX) view.rotateX = *o.camera.rotateX;
  if (o.camera.rotateY) view.rotateY = *o.camera.rotateY;
  view.drawMode = o.drawMode;
  view.showGrid = o.grid;
  view.additiveBlend = o.blend;
  return view;
}

// The first input file named that cannot be read, with why, in one line.
std::optional<std::string> unreadableInput(const RecorderOptions& o) {
  for (const std::string* name : {&o.pathFile, &o.colourFile, &o.opacityFile, &o.scaleFile, &o.objectFile,
                                  &o.blenderConfig}) {
    if (name->empty()) continue;
    const Result<FileHandle> file = openReadable(*name);
    if (!file) return "cannot read " + *name + ": " + file.failure().reason;
  }
  return std::nullopt;
}

int record(const RecorderOptions& o) {
  if (const std::optional<std::string> why = unreadableInput(o)) {
    say(*why);
    return 1;
  }
  Result<std::unique_ptr<FrameSink>> opened = openFrameSink(o);
  if (!opened) {
    say(opened.failure().reason);
    return 1;
  }
  FrameSink& sink = *opened.value();
  const auto fail = [&](const std::string& why) {
    sink.abandon();
    if (!why.empty()) say(why);
    return 1;
  };

  std::unique_ptr<Recording> recording;
  if (o.blenderConfig.empty()) {
    auto viewer = std::make_unique<ViewerRecording>();
    if (!viewer->load(o)) return fail("nothing written");
    recording = std::move(viewer);
  } else {
    auto blender = std::make_unique<BlendRecording>();
    if (!blender->load(o)) return fail("nothing written");
    recording = std::move(blender);
  }
  Result<std::unique_ptr<OffscreenContext>> context = OffscreenContext::create(o.width, o.height);
  if (!context) return fail(context.failure().reason);
  initDrawing();
  applyProjection(o.width, o.height);
  const ViewState view = cameraFor(o, *recording);
  // The grid is drawn with the blending that the last frame's boxes left, as in the
  // window, where every picture follows another.
  applyDrawingState(view);

  const std::int64_t frames = recording->frameCount();
  const std::int64_t hold = std::llround(o.holdSeconds * o.framesPerSecond);
  Progress progress(frames);
  Stopwatch drawing, reading, writing;
  PictureWriter writer(sink);
  std::vector<std::uint8_t> picture;
  for (std::int64_t f = 0; f < frames; ++f) {
    if (gInterrupted) {
      writer.close();
      return fail("interrupted; nothing written");
    }
    drawing.start();
    beginScene(view);
    recording->drawNext(view);
    glFinish();
    drawing.stop();
    writing.start();
    picture = writer.takeBuffer();
    writing.stop();
    reading.start();
    context.value()->readPixels(picture);
    reading.stop();
    // The last frame is also the first of the hold.
    if (!writer.put(std::move(picture), f + 1 == frames ? 1 + hold : 1)) break;
    progress.frameDone(f + 1);
  }
  writing.start();
  const bool written = writer.close() && !gInterrupted && sink.finish();
  writing.stop();
  if (!written) return fail(gInterrupted ? "interrupted; nothing written" : sink.why());
  if (o.timing) {
    const double total = drawing.seconds() + reading.seconds() + writing.seconds();
    std::ostringstream line;
    line.setf(std::ios::fixed);
    line.precision(2);
    line << "timing: " << frames << " frames in " << total << " s, " << frames / total << " frames/s; drawing "
         << drawing.seconds() << " s, reading pixels " << reading.seconds() << " s, waiting for the encoder "
         << writing.seconds() << " s";
    say(line.str());
  }
  if (o.outputKind != OutputKind::RawFrames)
    say("wrote " + o.output + ": " + std::to_string(frames + hold) + " frames of " + std::to_string(o.width) + " x " +
        std::to_string(o.height) + " at " + std::to_string(o.framesPerSecond) + " a second");
  return 0;
}

}  // namespace

int runRecorder(const std::vector<std::string>& arguments) {
  const Result<RecorderCommand> command = parseRecorderArguments(arguments);
  if (!command) {
    say(command.failure().reason);
    return 2;
  }
  if (command->help) {
    std::cout << recorderHelp();
    return 0;
  }
  struct sigaction interrupt {};
  interrupt.sa_handler = onInterrupt;
  sigaction(SIGINT, &interrupt, nullptr);
  sigaction(SIGTERM, &interrupt, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    return record(command->options);
  } catch (const std::bad_alloc&) {
    say("not enough memory");
    return 1;
  }
}

}  // namespace zorvel
