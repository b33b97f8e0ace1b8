#pragma once

// The recorder's command line: what to record (a path file with its optional colour,
// opacity, scale and object files, or a blender configuration), where to (a video, an
// animated picture, a folder of pictures or raw frames on standard output), and how
// (draw mode, grid, blending, size, rate, hold, camera).

#include <optional>
#include <string>
#include <vector>

#include "common/Result.h"
#include "playback/ViewState.h"

namespace zorvel {

enum class OutputKind { Mp4, Gif, PngFolder, RawFrames };

// The camera: framed on the picture at home, the viewer's start camera, and explicit
// values over either.
struct CameraChoice {
  bool viewerStart = false;
  std::optional<float> zoom, panX, panY, rotateX, rotateY;
};

struct RecorderOptions {
  // What to record: the viewer's files, or a blender configuration.
  std::string pathFile;
  std::string colourFile, opacityFile, scaleFile, objectFile;
  double scaleMin = 1.0, scaleMax = 1.0;
  std::string blenderConfig;

  std::string output;
  OutputKind outputKind = OutputKind::Mp4;

  DrawMode drawMode = DrawMode::Solid;
  bool grid = false;
  bool blend = false;
  int width = 1280, height = 720;
  int framesPerSecond = kFramesPerSecond;
  double holdSeconds = 2.0;
  CameraChoice camera;
  bool timing = false;   // report where the time went
  bool verbose = false;  // print the loading lines of the viewer or the blender
};

// What the command line asks for.
struct RecorderCommand {
  bool help = false;
  RecorderOptions options;
};

// Reads the arguments after the program's name. A failure's reason is the one line that
// says what is wrong with them.
Result<RecorderCommand> parseRecorderArguments(const std::vector<std::string>& arguments);

// The --help text.
std::string recorderHelp();

}  // namespace zorvel
