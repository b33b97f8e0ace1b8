#pragma once

// What the drawing takes from a recording: its frames, where its picture lies, and a
// drawer of its frames for each context that draws; and what a frame is drawn into.

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "common/Result.h"
#include "playback/Camera.h"
#include "playback/Renderer.h"
#include "playback/ViewState.h"
#include "recorder/drawing/CameraFraming.h"
#include "recorder/drawing/Stopwatch.h"
#include "viewer/ObjectShape.h"
#include "viewer/ViewerScene.h"

namespace zorvel {

class OffscreenContext;

// What a frame is drawn into: a drawing context, current on the calling thread, the
// context's renderer, the frame's camera, and where the time reading pixels back adds
// up; and what the frame is drawn on.
struct FrameCanvas {
  OffscreenContext& context;
  Renderer& renderer;
  const Camera& camera;
  Stopwatch& reading;          // the time spent reading pixels back
  const GridColours& colours;  // the background, the grid and the axes
  bool cameraStill = true;     // the frame's camera is the one of the frame before
  bool transparent = false;    // where nothing is drawn is transparent: RGBA read back
};

// Waits until what was drawn into the canvas is drawn, and reads it back as RGB bytes
// (RGBA on a transparent canvas: alpha 255 wherever anything was drawn, 0 elsewhere),
// top row first, timing the reading.
void readBack(FrameCanvas& canvas, std::vector<std::uint8_t>& rgb);

// The frames a drawer takes in turn: `first`, `first` + `step`, ... below `frames`.
class FrameTurns {
 public:
  FrameTurns(std::int32_t frames, std::int32_t first, std::int32_t step) : frames_(frames), next_(first), step_(step) {}
  // The next frame, which becomes the one taken; or why there is none.
  Result<std::int32_t> take() {
    if (next_ >= frames_) return failure(FailureKind::CutShort, "there is no frame " + std::to_string(next_));
    taken_ = next_;
    next_ += step_;
    return taken_;
  }
  // The frame taken last; -1 before the first.
  std::int32_t taken() const { return taken_; }

 private:
  std::int32_t frames_, next_, step_;
  std::int32_t taken_ = -1;
};

// Draws every `step`-th frame of a recording from frame `first` on, into the context of
// the thread that uses it: each thread that draws has one of its own.
class FrameDrawer {
 public:
  virtual ~FrameDrawer() = default;
  // Takes the next of its frames; fails, saying which frame and why, when it cannot be
  // read after all (a path file that changed since it was loaded), which ends the
  // animation there.
  virtual Result<void> next() = 0;
  // Draws the frame taken into the canvas, and gives its picture as RGB bytes, top row
  // first.
  virtual void draw(FrameCanvas& canvas, const ViewState& view, std::vector<std::uint8_t>& rgb) = 0;
};

// What was loaded; read-only while frames are drawn, so that several drawers, one a
// thread, can draw from it at once.
class Recording {
 public:
  virtual ~Recording() = default;
  virtual std::int32_t frameCount() const = 0;
  // Where the picture lies at home, boxes or objects included.
  virtual Bounds homeBounds() const = 0;
  // Where any of its boxes or objects lies in any frame.
  virtual Bounds boundsOfAllFrames() const = 0;
  // A drawer of the frames `first`, `first` + `step`, ...; the recording outlives it.
  virtual Result<std::unique_ptr<FrameDrawer>> drawer(std::int32_t first, std::int32_t step) const = 0;
};

}  // namespace zorvel
