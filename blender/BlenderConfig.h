#pragma once

// The blender's configuration: which keyframe pictures, how many in-between frames lead
// from each to the next, and the range of the pixels' displacement. Read from a plain
// text file of keywords and values, in a fixed order.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "BasicPixelImage.h"
#include "ColorRGBA.h"
#include "ConsoleMenu.h"
#include "Vector3.h"

namespace zorvel {

struct KeyframePixel {
  ColorRGBA colour;
  Vector3 position;
};

using KeyframeImage = BasicPixelImage<KeyframePixel>;

struct BlenderConfig {
  std::string configFile;
  bool configLoaded = false;
  float minDisplacement = 0.0f;
  float maxDisplacement = 0.0f;
  char menuChoice = ' ';
  std::uint16_t keyframeCount = 0;
  std::vector<KeyframeImage> keyframes;
  std::vector<std::string> imagePaths;
  std::vector<std::uint16_t> inbetweenCounts;
};

// One reading: prints the title picture, asks for the file name on `in`, reads and
// checks the file, loads and lays out every keyframe image with its summary. Errors are
// reported in the error box and end the reading. Returns false only when `in` ended at
// the prompt.
bool readConfiguration(BlenderConfig& config, std::istream& in, std::ostream& out);

// Steps of a reading after the file was opened: checks `text` and loads the images.
void readConfigurationText(BlenderConfig& config, std::string_view text, std::ostream& out);

// Prints the error box with `message`, empties configFile and clears configLoaded.
void reportConfigError(BlenderConfig& config, const char* message, std::ostream& out);

// Gives every record of `image` its place on a unit grid centred on the origin, row 0
// (the file's first row) lowest.
void layOutPixels(KeyframeImage& image);

}  // namespace zorvel
