#pragma once

// What the recorder records: the viewer's animation (a path file and its attribute and
// object files), a picture crunched in memory, or the blender's animation (a
// configuration), loaded as those programs load them, drawn one frame after the other
// into a drawing context.

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "common/Result.h"
#include "playback/Camera.h"
#include "playback/Renderer.h"
#include "playback/ViewState.h"
#include "recorder/CameraFraming.h"
#include "recorder/RecorderOptions.h"
#include "recorder/Stopwatch.h"
#include "viewer/ObjectShape.h"
#include "viewer/ViewerScene.h"

namespace zorvel {

class OffscreenContext;

// What a frame is drawn into: a drawing context, current on the calling thread, the
// context's renderer, the recording's camera, and where the time reading pixels back
// adds up.
struct FrameCanvas {
  OffscreenContext& context;
  Renderer& renderer;
  const Camera& camera;
  Stopwatch& reading;  // the time spent reading pixels back
};

// Waits until what was drawn into the canvas is drawn, and reads it back as RGB bytes,
// top row first, timing the reading.
void readPicture(FrameCanvas& canvas, std::vector<std::uint8_t>& rgb);

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

// Where the viewer's pixels lie at `coordinates` (x, y, z a pixel): each pixel's cube of
// its scale, or the object's extent around it.
Bounds pixelBounds(const ViewerScene& scene, const ObjectShape& shape, const float* coordinates);

// Where pixels whose positions lie within `positions` lie, the largest cube or the
// object's extent around each included.
Bounds pixelsWithin(const Bounds& positions, const ViewerScene& scene, const ObjectShape& shape);

// The animation `options` name: a picture crunched in memory (scattered with
// options.seed, which the caller sets), the blender's configuration, or the viewer's path
// file, each loaded as its own loader says, with the lines its program prints on `lines`
// and why a file cannot be used on `err`. Fails with the one reason it cannot play.
Result<std::unique_ptr<Recording>> loadRecording(const RecorderOptions& options, std::ostream& lines,
                                                 std::ostream& err);

}  // namespace zorvel
