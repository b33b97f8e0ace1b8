#pragma once

// Whether a file named as a path file plainly is one, before the recorder reads it as
// one: its first line must hold the pixel count and the frame count. A colour or
// attribute file holds one number there, and a picture no text at all; such a file is
// refused with what it looks like, instead of being played as frames of garbage. (The
// viewer reads on as it always did.)

#include <string>

#include "common/Result.h"

namespace zorvel {

// Nothing when `start` (the first bytes of the file, a few kilobytes) begins as a path
// file does; else why not (WrongFormat), in words that say what it looks like where
// that is clear.
Result<void> checkPathFileStart(const std::string& start);

}  // namespace zorvel
