#pragma once

// A camera path's keys as a text file holds them: one key a line, "FRAME ZOOM PANX PANY
// TURNX TURNY" (the frame counted from 0, then the viewer's camera values), frames
// rising; "#" starts a comment, which runs to the line's end; blank lines are skipped.

#include <string_view>
#include <vector>

#include "common/Result.h"
#include "recorder/drawing/CameraMoves.h"

namespace zorvel {

// The keys of `text`, at least one; or why they cannot be used, in one line that starts
// "line N: " where a line is at fault (kind WrongFormat).
Result<std::vector<CameraKey>> parseCameraKeys(std::string_view text);

}  // namespace zorvel
