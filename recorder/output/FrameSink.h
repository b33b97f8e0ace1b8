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

// How much of the picture an mp4 or a gif keeps against its size. High keeps the most
// (a gif of every frame, as finely dithered as it goes); medium and low make smaller
// files: a stronger compression of the video, and a gif of fewer frames a second with a
// steadier dither (and, for low, fewer colours).
enum class Quality { Low, Medium, High };

// What the frames become: the output's name as typed and its kind, the frames' size and
// rate, whether they come as RGBA (PNG pictures only) rather than RGB, and the quality
// of an mp4 or a gif.
struct OutputPlan {
  std::string output;
  OutputKind kind = OutputKind::Mp4;
  int width = 0, height = 0;
  int framesPerSecond = 0;
  bool alpha = false;
  Quality quality = Quality::Medium;
};

// Every how many frames the output keeps one: 1 but for a gif below high quality, which
// keeps as few as bring its rate within the quality's most frames a second.
int framesKeptEvery(const OutputPlan& plan);

// How many of the first `done` of `total` frames an output that keeps one frame in
// `every` holds: frames 0, every, 2 x every, ... and always the last, so that it ends on
// the picture at home.
std::int64_t framesHeld(std::int64_t done, std::int64_t total, int every);

class FrameSink {
 public:
  virtual ~FrameSink() = default;
  // Takes one picture: width x height RGB bytes (RGBA where the plan says), top row first; an output that keeps
  // one frame in several keeps it as framesHeld says. A failure (CannotWrite, its reason one line) means the sink
  // is to be abandoned.
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
