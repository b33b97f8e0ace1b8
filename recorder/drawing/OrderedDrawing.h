#pragma once

// A recording's frames drawn on several threads at once, each with an offscreen
// context of its own drawing every n-th frame, and handed to the picture writer in
// order: the software renderer draws a frame on one processor, so that two draw twice
// as many. The pictures are those one thread drawing every frame in turn makes.

#include <csignal>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "common/Result.h"
#include "playback/ViewState.h"
#include "recorder/drawing/CameraMoves.h"
#include "recorder/drawing/OffscreenContext.h"
#include "recorder/drawing/Recording.h"
#include "recorder/drawing/Stopwatch.h"
#include "recorder/output/PictureWriter.h"

namespace zorvel {

// Where a recording's time goes: the drawing, the reading of pixels and the waiting for
// the encoder added up over the threads that draw, and the time from the first frame
// drawn to the output finished.
struct Timing {
  Stopwatch drawing, reading, writing, recording;
  void add(const Timing& other) {
    drawing.add(other.drawing);
    reading.add(other.reading);
    writing.add(other.writing);
  }
};

// How the drawn pictures are handed to the writer: the last one `1 + hold` times,
// `handed` told how many pictures are handed over after each (the hold's included), and
// the drawing stopped once `interrupted` is set.
struct Handover {
  std::int64_t hold = 0;
  std::function<void(std::int64_t)> handed;
  const volatile std::sig_atomic_t& interrupted;
};

// What was drawn: every frame of the recording, or the frames before one that could
// not be read after all, and why it could not.
struct DrawnFrames {
  std::int64_t count = 0;
  std::optional<Failure> cut;
};

// What is drawn, and how: the recording, the contexts that draw it (one thread each),
// the view whose drawing state every frame takes, each frame's camera, where anything
// lies in any frame (the far plane reaches it), and what the frames are drawn on.
struct DrawingPlan {
  const Recording& recording;
  const std::vector<std::unique_ptr<OffscreenContext>>& contexts;
  const ViewState& view;
  const CameraPath& cameras;
  Bounds reach;
  GridColours colours = kGridColours;
  bool transparent = false;  // RGBA pictures, transparent where nothing is drawn
};

// Draws every frame of `plan.recording`, one thread a context (made current there; each
// set up with the view's drawing state, each frame with its camera: the view with the
// frame's camera values and a far plane that reaches `plan.reach`), and hands the pictures to
// `writer` in order, as `handover` says. Stops early when `handover.interrupted` is set
// or when the writer failed (whose close() says why), and at a frame that cannot be
// read after all, the last picture drawn then held. Fails where the drawing cannot
// start, or when not even the first frame can be read.
Result<DrawnFrames> drawInOrder(const DrawingPlan& plan, const Handover& handover, PictureWriter& writer,
                                Timing& timing);

}  // namespace zorvel
