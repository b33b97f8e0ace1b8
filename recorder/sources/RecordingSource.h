#pragma once

// What the recorder records, one of three kinds, decided once from the command line:
// the viewer's animation (a path file and its attribute and object files), a picture
// crunched in memory with the cruncher's settings and maps, or the blender's animation
// (a configuration); and the settings that loading one needs besides.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cruncher/CruncherAttributes.h"
#include "cruncher/CruncherRun.h"
#include "playback/ViewState.h"

namespace zorvel {

// The viewer's files.
struct PathSource {
  std::string pathFile;
  std::string colourFile, opacityFile, scaleFile, objectFile;
  double scaleMin = 1.0, scaleMax = 1.0;  // the size range scale values 0 to 255 map onto
};

// The particles a picture becomes by default: as many as the cruncher takes.
constexpr std::uint64_t kDefaultParticles = kMaxPixels;

// A picture: its file is crunch.pColorMap; its maps and constants are held as the
// cruncher's menus hold them, and have the cruncher's defaults.
struct PictureSource {
  CruncherAttributes crunch;
  std::uint64_t particles = kDefaultParticles;  // a larger picture is shrunk to this many
  std::optional<std::uint32_t> seed;            // the scattering's seed; none: the clock
  std::optional<double> durationSeconds;        // how long the flight home lasts; none: by the velocity
  double scaleMin = 1.0, scaleMax = 1.0;        // the scale map's size range
  std::string objectFile;                       // the object drawn for each particle, if any
  bool transparency = true;  // a transparent pixel is no particle, a partly transparent one less opaque
};

// The blender's configuration file.
struct BlendSource {
  std::string configuration;
};

using RecordingSource = std::variant<PathSource, PictureSource, BlendSource>;

// Every file `source` names, in the order they are named.
std::vector<std::string> inputFiles(const RecordingSource& source);

// Every file recording `source` reads: those it names and, for the blender, the
// keyframe pictures its configuration names (as far as the configuration can be read).
std::vector<std::string> filesRead(const RecordingSource& source);

// What loading and drawing a recording needs besides its source.
struct LoadingSettings {
  bool settledLayer = true;  // particles that no longer move drawn once, into a picture kept
  bool verbose = false;      // the loading lines of the viewer or the blender printed
  int width = 1280, height = 720;
  int framesPerSecond = kFramesPerSecond;
};

}  // namespace zorvel
