#pragma once

// The animation of a picture, crunched in memory by the cruncher's own engine: the
// picture and its maps read (any common format) and shrunk to the particles asked for,
// the particles set up and scattered as a run of the cruncher sets them up, and the
// frames computed as they are drawn, each as the viewer reads it back from the path file
// the cruncher writes. No file is written; what is held grows with the particles, never
// with the frames.

#include <cstdint>
#include <iosfwd>
#include <memory>

#include "common/Result.h"
#include "recorder/drawing/Recording.h"
#include "recorder/sources/RecordingSource.h"

namespace zorvel {

// The picture `source` names (source.crunch.pColorMap), with its settings and maps,
// scattered with its seed (which the caller sets), for pictures of the settings' size. The lines of its crunching go to
// `lines` (the cruncher's, and what was read and chosen: the grid, the seed, the frames); a duration that cannot be met
// is said on `err`. A failure's reason is the one line that says why it cannot be recorded, the file it concerns first.
Result<std::unique_ptr<Recording>> loadPictureRecording(const PictureSource& source, const LoadingSettings& settings,
                                                        std::ostream& lines, std::ostream& err);

// The memory a recording of `particles` particles takes at most, pictures of
// width x height drawn on `contexts` contexts at once: what the budget check holds
// against the memory there is before anything is set up for them.
std::uint64_t pictureRecordingBytes(std::uint64_t particles, int width, int height, int contexts);

}  // namespace zorvel
