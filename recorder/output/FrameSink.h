#pragma once

// Where recorded pictures go: raw RGB frames on standard output, or ffmpeg (a child
// process fed through a pipe) making an mp4 video, an animated gif or a folder of PNG
// pictures. Files are made under a temporary name beside the output and take its name
// only when the whole output was written: ffmpeg ends with an error status at its first
// error, writing the file's end included, and its own last line says why. A sink that
// fails or is abandoned removes what it made. Not copyable.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/Result.h"

namespace zorvel {

enum class OutputKind { Mp4, Gif, PngFolder, RawFrames };

// What the frames become: the output's name as typed and its kind, the frames' size and
// rate, and whether they come as RGBA (PNG pictures only) rather than RGB.
struct OutputPlan {
  std::string output;
  OutputKind kind = OutputKind::Mp4;
  int width = 0, height = 0;
  int framesPerSecond = 0;
  bool alpha = false;
};

class FrameSink {
 public:
  virtual ~FrameSink() = default;
  // Takes one picture: width x height RGB bytes (RGBA where the plan says), top row first. A failure (CannotWrite,
  // its reason one line) means the sink is to be abandoned.
  virtual Result<void> put(const std::vector<std::uint8_t>& rgb) = 0;
  // Finishes the output and gives it its name; or why not ("cannot write OUT: ffmpeg:
  // ..." with ffmpeg's own last line, such as one ending "No space left on device").
  // Nothing is left behind when it fails.
  virtual Result<void> finish() = 0;
  // Removes whatever was made so far.
  virtual void abandon() = 0;
};

// The sink for `plan`: checks at once that ffmpeg is there (where it is needed) and
// that the output's folder takes the temporary file, so that a recording that cannot
// be written fails before anything is drawn: ToolMissing without ffmpeg, CannotWrite
// for an output that cannot be made.
Result<std::unique_ptr<FrameSink>> openFrameSink(const OutputPlan& plan);

}  // namespace zorvel
