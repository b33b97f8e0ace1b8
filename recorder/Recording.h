#pragma once

// What the recorder records: the viewer's animation (a path file and its attribute and
// object files) or the blender's (a configuration), loaded as those programs load them,
// drawn one frame after the other into the current OpenGL context.

#include <cstdint>
#include <iosfwd>
#include <memory>

#include "common/Result.h"
#include "playback/ViewState.h"
#include "recorder/CameraFraming.h"
#include "recorder/RecorderOptions.h"

namespace zorvel {

class Recording {
 public:
  virtual ~Recording() = default;
  virtual std::int32_t frameCount() const = 0;
  // Takes the next frame (the first on the first call); false when there is none after
  // all (a path file that changed since it was loaded), which ends the animation.
  virtual bool nextFrame() = 0;
  // Draws the frame taken into the current context.
  virtual void drawFrame(const ViewState& view) = 0;
  // Where the picture lies at home, boxes or objects included.
  virtual Bounds homeBounds() const = 0;
};

// The animation `options` name, loaded with the lines its program prints on `lines`
// and the reasons for what cannot be used on `err`; or a failure ("nothing written")
// once those lines said why it cannot play. The viewer's path file is read through
// once, for its complete frames and the picture at home, and then frame by frame as
// the frames are drawn: only one frame is held at a time. A file that ends inside a
// frame, or holds something that is no number there, plays its complete frames, with
// the viewer's line for it on `err` (and its loading lines on `lines`).
Result<std::unique_ptr<Recording>> loadRecording(const RecorderOptions& options, std::ostream& lines,
                                                 std::ostream& err);

}  // namespace zorvel
