#pragma once

// A recording's frames drawn on several threads at once, each with an offscreen
// context of its own drawing every n-th frame, and handed to the picture writer in
// order: the software renderer draws a frame on one processor, so that two draw twice
// as many. The pictures are those one thread drawing every frame in turn makes.

#include <csignal>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/Result.h"
#include "playback/ViewState.h"
#include "recorder/OffscreenContext.h"
#include "recorder/PictureWriter.h"
#include "recorder/Recording.h"
#include "recorder/Stopwatch.h"

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

// Draws every frame of `recording` with `view`'s camera and `projection`, one thread a
// context (made current there; each set up with the projection and the view's drawing
// state), and hands
// the pictures to `writer` in order, the last `1 + hold` times. Stops early when
// `interrupted` is set, when the writer's sink failed, or when the recording has no
// more frames after all (its line printed, the last picture held). Returns how many
// frames were drawn, or why the drawing could not start.
Result<std::int64_t> drawInOrder(const Recording& recording,
                                 const std::vector<std::unique_ptr<OffscreenContext>>& contexts, const ViewState& view,
                                 const Projection& projection, std::int64_t hold, PictureWriter& writer, Timing& timing,
                                 const volatile std::sig_atomic_t& interrupted);

}  // namespace zorvel
