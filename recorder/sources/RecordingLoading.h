#pragma once

// Loading what the recorder records, whichever of the three kinds it is.

#include <iosfwd>
#include <memory>

#include "common/Result.h"
#include "recorder/drawing/Recording.h"
#include "recorder/sources/RecordingSource.h"

namespace zorvel {

// The animation `source` names: the viewer's path file, a picture crunched in memory
// (scattered with its seed, which the caller sets), or the blender's configuration, each
// loaded as its own loader says, with the lines its program prints on `lines` and why a
// file cannot be used on `err`. Fails with the one reason it cannot play.
Result<std::unique_ptr<Recording>> loadRecording(const RecordingSource& source, const LoadingSettings& settings,
                                                 std::ostream& lines, std::ostream& err);

}  // namespace zorvel
