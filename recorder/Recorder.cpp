#include "recorder/Recorder.h"

#include <signal.h>

#include <cmath>
#include <csignal>
#include <iostream>
#include <sstream>

#include <GL/gl.h>

#include "common/ProgramEnd.h"
#include "common/ProgramNames.h"
#include "common/WholeFile.h"
#include "playback/SceneDrawing.h"
#include "recorder/CameraFraming.h"
#include "recorder/FrameSink.h"
#include "recorder/OffscreenContext.h"
#include "recorder/PictureWriter.h"
#include "recorder/RecorderOptions.h"
#include "recorder/Recording.h"
#include "recorder/RecordingProgress.h"
#include "recorder/Stopwatch.h"
#include "viewer/SceneLoading.h"

namespace zorvel {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

void onInterrupt(int) { gInterrupted = 1; }

void say(const std::string& line) { std::cerr << kRecorderName << ": " << line << std::endl; }

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

// Every input file named opens, or the first that does not, with why.
Result<void> checkInputsReadable(const RecorderOptions& o) {
  for (const std::string* name :
       {&o.pathFile, &o.colourFile, &o.opacityFile, &o.scaleFile, &o.objectFile, &o.blenderConfig}) {
    if (name->empty()) continue;
    const Result<FileHandle> file = openReadable(*name);
    if (!file) return failure(file.failure().kind, "cannot read " + *name + ": " + file.failure().reason);
  }
  return {};
}

// Where a recording's time goes.
struct Timing {
  Stopwatch drawing, reading, writing;

  std::string line(std::int64_t frames) const {
    const double total = drawing.seconds() + reading.seconds() + writing.seconds();
    std::ostringstream text;
    text.setf(std::ios::fixed);
    text.precision(2);
    text << "timing: " << frames << " frames in " << total << " s, " << static_cast<double>(frames) / total
         << " frames/s; drawing " << drawing.seconds() << " s, reading pixels " << reading.seconds()
         << " s, waiting for the encoder " << writing.seconds() << " s";
    return text.str();
  }
};

// Hands the picture in `context` to `writer` `times` times; false once the writer's
// sink failed.
bool putPicture(const OffscreenContext& context, PictureWriter& writer, std::int64_t times, Timing& timing) {
  timing.writing.start();
  std::vector<std::uint8_t> picture = writer.takeBuffer();
  timing.writing.stop();
  timing.reading.start();
  context.readPixels(picture);
  timing.reading.stop();
  return writer.put(std::move(picture), times);
}

// Draws every frame of `recording` and hands it to `writer`, the last one `1 + hold`
// times. Stops early when interrupted or when the writer's sink failed. Returns how
// many frames were drawn: fewer where the recording had no more after all, and then
// the last one drawn is held.
std::int64_t drawFrames(Recording& recording, const OffscreenContext& context, const ViewState& view, std::int64_t hold,
                        PictureWriter& writer, Timing& timing) {
  const std::int64_t frames = recording.frameCount();
  RecordingProgress progress(frames);
  for (std::int64_t f = 0; f < frames && !gInterrupted; ++f) {
    if (!recording.nextFrame()) {
      printCutShort(std::cerr, static_cast<std::int32_t>(f));
      if (f > 0) putPicture(context, writer, hold, timing);  // the last frame drawn is still there
      return f;
    }
    timing.drawing.start();
    beginScene(view);
    recording.drawFrame(view);
    glFinish();
    timing.drawing.stop();
    // The last frame is also the first of the hold.
    if (!putPicture(context, writer, f + 1 == frames ? 1 + hold : 1, timing)) return f;
    progress.frameDone(f + 1);
  }
  return frames;
}

// Records what the options ask for into `sink`: every frame, the last one `hold` times
// more, and the output finished. Returns the animation's frame count; a failure says
// why in one line.
Result<std::int64_t> recordInto(FrameSink& sink, const RecorderOptions& o, std::int64_t hold, Timing& timing) {
  std::ostream quiet(nullptr);
  Result<std::unique_ptr<Recording>> recording = loadRecording(o, o.verbose ? std::cerr : quiet, std::cerr);
  if (!recording) return recording.failure();
  Result<std::unique_ptr<OffscreenContext>> context = OffscreenContext::create(o.width, o.height);
  if (!context) return context.failure();
  initDrawing();
  applyProjection(o.width, o.height);
  const ViewState view = cameraFor(o, *recording.value());
  // The grid is drawn with the blending that the last frame's boxes left, as in the
  // window, where every picture follows another.
  applyDrawingState(view);

  PictureWriter writer(sink);
  const std::int64_t frames = drawFrames(*recording.value(), *context.value(), view, hold, writer, timing);
  timing.writing.start();
  const Result<void> written = writer.close();
  const Failure interrupted = failure(FailureKind::CannotWrite, "interrupted; nothing written");
  if (gInterrupted) return interrupted;
  const Result<void> finished = written ? sink.finish() : written;
  timing.writing.stop();
  if (gInterrupted) return interrupted;
  if (!finished) return finished.failure();
  return frames;
}

int record(const RecorderOptions& o) {
  if (const Result<void> readable = checkInputsReadable(o); !readable) {
    say(readable.failure().reason);
    return 1;
  }
  Result<std::unique_ptr<FrameSink>> sink = openFrameSink(o);
  if (!sink) {
    say(sink.failure().reason);
    return 1;
  }
  Timing timing;
  const std::int64_t hold = std::llround(o.holdSeconds * o.framesPerSecond);
  const Result<std::int64_t> frames = recordInto(*sink.value(), o, hold, timing);
  if (!frames) {
    sink.value()->abandon();
    say(frames.failure().reason);
    return 1;
  }
  if (o.timing) say(timing.line(frames.value()));
  if (o.outputKind != OutputKind::RawFrames)
    say("wrote " + o.output + ": " + std::to_string(frames.value() + hold) + " frames of " + std::to_string(o.width) +
        " x " + std::to_string(o.height) + " at " + std::to_string(o.framesPerSecond) + " a second");
  return 0;
}

void catchInterruptions() {
  struct sigaction interrupt {};
  interrupt.sa_handler = onInterrupt;
  sigaction(SIGINT, &interrupt, nullptr);
  sigaction(SIGTERM, &interrupt, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
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
  catchInterruptions();
  return runUntilMemoryRunsOut(kRecorderName, std::cerr, std::cerr, [&] { return record(command->options); });
}

}  // namespace zorvel
