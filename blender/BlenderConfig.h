#pragma once

// The blender's configuration: which keyframe pictures, how many in-between frames lead
// from each to the next, and the range of the pixels' displacement, read from a plain
// text file of keywords and values in a fixed order:
//   #MORVAINE_CONFIGURATION_FILE #NUMBER_OF_KEYFRAMES N #MINDISPLACEMENT min
//   #MAXDISPLACEMENT max, then N times #IMAGEPATH file #NUMBER_OF_INTERPOLATION_FRAMES n
// Words are separated by any white space; numbers read as formatted stream extraction
// reads them. parseConfiguration() only reads the text; ConfigurationReading loads the
// pictures and prints.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "blender/KeyframeImage.h"
#include "common/Result.h"

namespace zorvel {

// A keyframe's picture, shared by every keyframe that names the same file.
using SharedKeyframeImage = std::shared_ptr<const KeyframeImage>;

struct BlenderConfig {
  std::string configFile;
  bool configLoaded = false;
  float minDisplacement = 0.0f;
  float maxDisplacement = 0.0f;
  char menuChoice = ' ';
  std::uint16_t keyframeCount = 0;
  std::vector<SharedKeyframeImage> keyframes;  // never null
  std::vector<std::string> imagePaths;
  std::vector<std::uint16_t> inbetweenCounts;
};

// One keyframe's entry.
struct ConfigurationEntry {
  std::string imagePath;
  std::uint16_t inbetweenCount = 0;
};

// What a configuration's text says, as far as it could be read.
struct ConfigurationText {
  std::optional<std::uint16_t> keyframeCount;  // read: a new keyframe set begins
  std::optional<float> minDisplacement;
  std::optional<float> maxDisplacement;
  std::vector<ConfigurationEntry> entries;  // the complete entries, in file order
  std::optional<std::string> lastPath;      // the picture of an entry whose count is missing
};

// Reads a configuration's text into `config` (a fresh one), as far as it goes. Fails
// unless the text is a complete configuration: WrongFormat when it is no configuration
// at all, Malformed when a part is missing or wrong (a keyframe count of 0 and
// in-between counts that add up to no frames are too). The reason says what was
// expected, and the word found instead and its line, or "at the end of the file".
Result<void> parseConfiguration(std::string_view text, ConfigurationText& config);

}  // namespace zorvel
