#include "recorder/command/Recorder.h"

#include <signal.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <iostream>
#include <sstream>
#include <thread>

#include "common/ProgramEnd.h"
#include "common/ProgramNames.h"
#include "common/WholeFile.h"
#include "cruncher/RandomGenerator.h"
#include "recorder/command/CameraKeyFile.h"
#include "recorder/command/RecorderOptions.h"
#include "recorder/command/SparedInputs.h"
#include "recorder/drawing/CameraFraming.h"
#include "recorder/drawing/OffscreenContext.h"
#include "recorder/drawing/OrderedDrawing.h"
#include "recorder/output/FrameSink.h"
#include "recorder/output/PictureWriter.h"
#include "recorder/output/RecordingProgress.h"
#include "recorder/sources/RecordingLoading.h"

namespace zorvel {

namespace {

// The signal that interrupted the recording; 0 while none did.
volatile std::sig_atomic_t gInterrupted = 0;

void onInterrupt(int signal) { gInterrupted = signal; }

void say(const std::string& line) { std::cerr << kRecorderName << ": " << line << std::endl; }

// The camera the options ask for.
ViewState cameraFor(const RecorderOptions& o, const Recording& recording) {
  ViewState view = initialViewState(0);
  if (!o.camera.viewerStart) {
    const Bounds bounds = recording.homeBounds();
    if (!bounds.empty) frameCamera(view, Framing{bounds, kFramedTurnX, kFramedTurnY, o.width, o.height});
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

// The camera of each frame: the one the options ask for, still, swung round and pulled
// back to it over the recording's frames, or along the keys given.
CameraPath camerasFor(const RecorderOptions& o, const std::optional<std::vector<CameraKey>>& keys,
                      const Recording& recording, const ViewState& rest) {
  if (keys) return CameraPath::keyed(*keys);
  const CameraSwing& swing = o.camera.swing;
  if (swing.degrees == 0 && swing.pullBack == 1) return CameraPath(cameraValuesOf(rest));
  Framing home{recording.homeBounds()};
  home.width = o.width;
  home.height = o.height;
  return CameraPath::swinging(cameraValuesOf(rest), swing, home, recording.frameCount());
}

// Frame f's camera as a line of a key file.
std::string keyLine(std::int64_t f, const CameraValues& v) {
  std::ostringstream line;
  line.precision(9);
  line << f << " " << v.zoom << " " << v.panX << " " << v.panY << " " << v.turnX << " " << v.turnY;
  return line.str();
}

// The keys of the file --camera-keys names, none where it names none; a file that cannot
// be used fails as usage (WrongFormat), naming it.
Result<std::optional<std::vector<CameraKey>>> cameraKeys(const RecorderOptions& o) {
  const std::string& name = o.camera.keysFile;
  if (name.empty()) return std::optional<std::vector<CameraKey>>();
  const Result<FileText> text = readWholeFile(name);
  if (!text) return failure(text.failure().kind, "cannot read " + name + ": " + text.failure().reason);
  Result<std::vector<CameraKey>> keys = parseCameraKeys(text->view());
  if (!keys) return failure(FailureKind::WrongFormat, name + ", " + keys.failure().reason);
  return std::optional<std::vector<CameraKey>>(std::move(keys.value()));
}

// Every input file named opens, or the first that does not, with why.
Result<void> checkInputsReadable(const RecorderOptions& o) {
  for (const std::string& name : inputFiles(o.source)) {
    const Result<FileHandle> file = openReadable(name);
    if (!file) return failure(file.failure().kind, "cannot read " + name + ": " + file.failure().reason);
  }
  return {};
}

// The line of --timing: the frames in the wall-clock time they took, and what the
// drawing threads spent drawing, reading pixels and waiting for the encoder.
std::string timingLine(std::int64_t frames, const Timing& timing) {
  const double seconds = timing.recording.seconds();
  std::ostringstream text;
  text.setf(std::ios::fixed);
  text.precision(2);
  text << "timing: " << frames << " frames in " << seconds << " s, " << static_cast<double>(frames) / seconds
       << " frames/s; drawing " << timing.drawing.seconds() << " s, reading pixels " << timing.reading.seconds()
       << " s, waiting for the encoder " << timing.writing.seconds() << " s";
  return text.str();
}

// What the output holds of `frames` frames: "N frames of W x H at R a second", the rate
// that of the frames kept (at most two decimals).
std::string heldLine(const OutputPlan& plan, std::int64_t frames) {
  const int every = framesKeptEvery(plan);
  std::ostringstream rate;
  rate << std::round(100.0 * plan.framesPerSecond / every) / 100.0;
  return std::to_string(framesHeld(frames, frames, every)) + " frames of " + std::to_string(plan.width) + " x " +
         std::to_string(plan.height) + " at " + rate.str() + " a second";
}

// One context a processor (at most two), and one frame at least for each.
Result<std::vector<std::unique_ptr<OffscreenContext>>> drawingContexts(const RecorderOptions& o, std::int64_t frames) {
  const std::int64_t threads =
      std::max<std::int64_t>(1, std::min<std::int64_t>({2, std::thread::hardware_concurrency(), frames}));
  std::vector<std::unique_ptr<OffscreenContext>> contexts;
  for (std::int64_t t = 0; t < threads; ++t) {
    Result<std::unique_ptr<OffscreenContext>> context = OffscreenContext::create(o.width, o.height);
    if (!context) return context.failure();
    context.value()->release();
    contexts.push_back(std::move(context.value()));
  }
  return contexts;
}

// Records what the options ask for into `sink`: every frame, the last one `hold` times
// more, and the output finished. Returns the frames drawn (and why they ended early,
// where they did); a failure says why in one line.
Result<DrawnFrames> recordInto(FrameSink& sink, const RecorderOptions& o,
                               const std::optional<std::vector<CameraKey>>& keys, std::int64_t hold, Timing& timing) {
  std::ostream quiet(nullptr);
  Result<std::unique_ptr<Recording>> recording =
      loadRecording(o.source, o.loading(), o.verbose ? std::cerr : quiet, std::cerr);
  if (!recording) return recording.failure();
  Result<std::vector<std::unique_ptr<OffscreenContext>>> contexts = drawingContexts(o, recording.value()->frameCount());
  if (!contexts) return contexts.failure();
  if (o.verbose) say("drawing with " + contexts->front()->rendererName());
  const ViewState view = cameraFor(o, *recording.value());
  const CameraPath cameras = camerasFor(o, keys, *recording.value(), view);
  const std::int32_t frames = recording.value()->frameCount();
  if (o.verbose && cameras.moves())
    for (std::int32_t f = 0; f < frames; ++f) say("camera " + keyLine(f, cameras.at(f)));
  GridColours colours = kGridColours;
  colours.background = o.transparent ? ColorRGBA{0, 0, 0, 0} : o.background;

  timing.recording.start();
  PictureWriter writer(sink, contexts->size() + 1);
  // The progress counts the frames the output will hold.
  const std::int64_t total = recording.value()->frameCount() + hold;
  const int every = framesKeptEvery(o.outputPlan());
  RecordingProgress progress(framesHeld(total, total, every));
  // Frames are handed over one thread at a time, in order; a frame the output does not
  // keep moves the progress on only with the next one it keeps.
  std::int64_t shown = 0;
  const Handover handover{hold,
                          [&progress, &shown, total, every](std::int64_t done) {
                            const std::int64_t held = framesHeld(done, total, every);
                            if (held > shown) progress.frameDone(shown = held);
                          },
                          gInterrupted};
  Result<DrawnFrames> drawn = drawInOrder({*recording.value(), contexts.value(), view, cameras,
                                           recording.value()->boundsOfAllFrames(), colours, o.transparent},
                                          handover, writer, timing);
  if (!drawn) return drawn.failure();
  timing.writing.start();
  const Result<void> written = writer.close();
  const Failure interrupted = failure(FailureKind::CannotWrite, "interrupted; nothing written");
  if (gInterrupted) return interrupted;
  const Result<void> finished = written ? sink.finish() : written;
  timing.writing.stop();
  timing.recording.stop();
  if (gInterrupted) return interrupted;
  if (!finished) return finished.failure();
  return drawn;
}

int record(RecorderOptions o) {
  // A picture's scattering without a seed takes the clock's, as the cruncher does.
  if (auto* picture = std::get_if<PictureSource>(&o.source); picture && !picture->seed) picture->seed = randomSeed();
  if (const Result<void> readable = checkInputsReadable(o); !readable) {
    say(readable.failure().reason);
    return 1;
  }
  std::vector<std::string> inputs = filesRead(o.source);
  if (!o.camera.keysFile.empty()) inputs.push_back(o.camera.keysFile);
  if (const Result<void> spared = checkInputsSpared(o.outputPlan(), inputs); !spared) {
    say(spared.failure().reason);
    return 2;
  }
  const Result<std::optional<std::vector<CameraKey>>> keys = cameraKeys(o);
  if (!keys) {
    say(keys.failure().reason);
    return keys.failure().kind == FailureKind::WrongFormat ? 2 : 1;
  }
  Result<std::unique_ptr<FrameSink>> sink = openFrameSink(o.outputPlan());
  if (!sink) {
    say(sink.failure().reason);
    return 1;
  }
  Timing timing;
  const std::int64_t hold = std::llround(o.holdSeconds * o.framesPerSecond);
  const Result<DrawnFrames> drawn = recordInto(*sink.value(), o, keys.value(), hold, timing);
  if (!drawn) {
    sink.value()->abandon();
    say(drawn.failure().reason);
    // An interrupted recording ends as batch tools end on a signal: 128 and its number.
    return gInterrupted ? 128 + gInterrupted : 1;
  }
  const std::int64_t frames = drawn->count;
  if (drawn->cut) say(drawn->cut->reason + "; recorded the " + std::to_string(frames) + " frames before it");
  if (o.timing) say(timingLine(frames, timing));
  if (o.outputKind != OutputKind::RawFrames) say("wrote " + o.output + ": " + heldLine(o.outputPlan(), frames + hold));
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
