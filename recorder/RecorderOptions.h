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

#include "common/Result.h"
#include "cruncher/CruncherAttributes.h"
#include "cruncher/CruncherRun.h"
#include "playback/ViewState.h"

namespace zorvel {

enum class OutputKind { Mp4, Gif, PngFolder, RawFrames };

// The camera: framed on the picture at home, the viewer's start camera, and explicit
// values over either.
struct CameraChoice {
  bool viewerStart = false;
  std::optional<float> zoom, panX, panY, rotateX, rotateY;
};

// The particles a picture becomes by default: as many as the cruncher takes.
constexpr std::uint64_t kDefaultParticles = kMaxPixels;

struct RecorderOptions {
  // What to record: the viewer's files, a picture, or a blender configuration.
  std::string pathFile;
  std::string colourFile, opacityFile, scaleFile, objectFile;
  // The size range scale values 0 to 255 map onto: the scale file's, or the scale map's.
  double scaleMin = 1.0, scaleMax = 1.0;
  std::string blenderConfig;
  // A picture: its file is crunch.pColorMap; its maps and constants are held as the
  // cruncher's menus hold them, and have the cruncher's defaults.
  CruncherAttributes crunch;
  std::uint64_t particles = kDefaultParticles;  // a larger picture is shrunk to this many
  std::optional<std::uint32_t> seed;            // the scattering's seed; none: the clock
  std::optional<double> durationSeconds;        // how long the flight home lasts; none: by the velocity

  std::string output;
  OutputKind outputKind = OutputKind::Mp4;

  DrawMode drawMode = DrawMode::Solid;
  bool grid = false;
  bool blend = false;
  int width = 1280, height = 720;
  int framesPerSecond = kFramesPerSecond;
  double holdSeconds = 2.0;
  CameraChoice camera;
  bool settledLayer = true;  // particles that no longer move drawn once, into a picture kept
  bool timing = false;       // report where the time went
  bool verbose = false;      // print the loading lines of the viewer or the blender
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
