#pragma once

// The blender's animation as the recorder records it: a configuration read and its
// frames built as the blender reads and builds them, then played step by step, as the
// blender plays them, by each drawing thread.

#include <iosfwd>
#include <memory>

#include "common/Result.h"
#include "recorder/drawing/Recording.h"
#include "recorder/sources/RecordingSource.h"

namespace zorvel {

// The configuration `source` names, with the lines the blender prints as it reads it
// on `lines`, and why a keyframe picture cannot be read on `err`. Fails, with the file or
// picture it concerns and why, where the blender would have no keyframe set to play, or
// where its frames do not fit in memory.
Result<std::unique_ptr<Recording>> loadBlendRecording(const BlendSource& source, std::ostream& lines,
                                                      std::ostream& err);

}  // namespace zorvel
