#pragma once

// The recorder's command line: what to record (a path file with its optional colour,
// opacity, scale and object files, a picture crunched in memory with its settings and
// maps, or a blender configuration), where to (a video, an animated picture, a folder of
// pictures or raw frames on standard output), and how (draw mode, grid, blending, size,
// rate, hold, camera).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/ColorRGBA.h"
#include "common/Result.h"
#include "playback/ViewState.h"
#include "recorder/drawing/CameraMoves.h"
#include "recorder/output/FrameSink.h"
#include "recorder/sources/RecordingSource.h"

namespace zorvel {

// The camera: framed on the picture at home, the viewer's start camera, and explicit
// values over either; swung round and pulled back to it over the flight home, or moved
// along the keys of a file instead.
struct CameraChoice {
  bool viewerStart = false;
  std::optional<float> zoom, panX, panY, rotateX, rotateY;
  CameraSwing swing;     // --orbit and --pull-back: none by default
  std::string keysFile;  // --camera-keys
};

struct RecorderOptions {
  RecordingSource source;  // what to record

  std::string output;
  OutputKind outputKind = OutputKind::Mp4;
  std::optional<Quality> quality;  // --quality, for mp4 and gif: medium where not given

  DrawMode drawMode = DrawMode::Solid;
  bool grid = false;
  bool blend = false;
  int width = 1280, height = 720;
  int framesPerSecond = kFramesPerSecond;
  double holdSeconds = 2.0;
  CameraChoice camera;
  ColorRGBA background{0, 0, 0, 255};
  bool transparent = false;  // the background transparent: PNG pictures only
  bool settledLayer = true;  // particles that no longer move drawn once, into a picture kept
  bool timing = false;       // report where the time went
  bool verbose = false;      // print the loading lines of the viewer or the blender

  // A transparent background is found where nothing was drawn, in every particle drawn
  // every frame: the settled layer is not used.
  LoadingSettings loading() const { return {settledLayer && !transparent, verbose, width, height, framesPerSecond}; }
  OutputPlan outputPlan() const {
    return {output, outputKind, width, height, framesPerSecond, transparent, quality.value_or(Quality::Medium)};
  }
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
