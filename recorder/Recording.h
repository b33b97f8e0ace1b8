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
  // Draws the next frame (the first on the first call) into the current context.
  virtual void drawNext(const ViewState& view) = 0;
  // Where the picture lies at home, boxes or objects included.
  virtual Bounds homeBounds() const = 0;
};

// The animation `options` name, loaded with the lines its program prints (on `lines`),
// or a failure ("nothing written") once those lines said why it cannot play.
Result<std::unique_ptr<Recording>> loadRecording(const RecorderOptions& options, std::ostream& lines);

}  // namespace zorvel
