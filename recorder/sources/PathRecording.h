#pragma once

// The viewer's animation as the recorder records it: a path file and its colour,
// opacity, scale and object files loaded as the viewer loads them, but for the frames.
// The path file is read through once, for its complete frames, the picture at home and
// the frame each particle settles from; then each drawing thread reads it again, frame
// by frame, as it draws: only one frame is held at a time.

#include <iosfwd>
#include <memory>

#include "common/Result.h"
#include "recorder/drawing/Recording.h"
#include "recorder/sources/RecordingSource.h"

namespace zorvel {

// The path file `source` names, with the lines the viewer prints as it loads on
// `lines`, and why an attribute or object file cannot be used on `err`. A file cut short
// or holding something that is no number inside a frame plays its complete frames, with
// the viewer's line for it on `lines` where the viewer's lines go there, else on `err`.
// Fails, with the path file's name and why, where the viewer could play nothing, and
// for a file that is plainly no path file.
Result<std::unique_ptr<Recording>> loadPathRecording(const PathSource& source, const LoadingSettings& settings,
                                                     std::ostream& lines, std::ostream& err);

}  // namespace zorvel
