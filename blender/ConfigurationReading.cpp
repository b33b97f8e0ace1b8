#include "ConfigurationReading.h"

#include <istream>
#include <ostream>

#include "ConsoleText.h"
#include "ImageSummary.h"
#include "WholeFile.h"

namespace zorvel {

namespace {

const char* const kTitle[19] = {
    "###############################################################",
    "#                                                             #",
    "#   # # # # # # # # # # # # # # # # # # # # # # # # # # # #   #",
    "#                                                             #",
    "#                                                             #",
    "#   #   #   ###   ####   #   #   ###   #####  #   #  #####    #",
    "#   ## ##  #   #  #   #  #   #  #   #    #    ##  #  #        #",
    "#   # # #  #   #  ####   #   #  #####    #    # # #  ####     #",
    "#   #   #  #   #  #  #    # #   #   #    #    #  ##  #        #",
    "#   #   #   ###   #   #    #    #   #  #####  #   #  #####    #",
    "#                                                             #",
    "#                                                             #",
    "#                                                             #",
    "#            # #   # #   # #   # #   # #   # #   #            #",
    "#                                                             #",
    "#   # # # # # # # # # # # # # # # # # # # # # # # # # # # #   #",
    "#                                                             #",
    "#                                                             #",
    "###############################################################"};

// Loads keyframe `i`'s picture with its summary and lays it out; a picture of another
// size than the first gets a line that says what happens to it.
void loadKeyframe(BlenderConfig& config, std::size_t i, std::ostream& out) {
  KeyframeImage& image = config.keyframes[i];
  loadAndSummarise(image, out);
  layOutPixels(image);
  const KeyframeImage& first = config.keyframes[0];
  if (i > 0 && (image.width != first.width || image.height != first.height))
    out << "Keyframe image " << image.name << " is " << image.width << " x " << image.height << ", not "
        << first.width << " x " << first.height
        << " as the first keyframe image: pixels it lacks are black, pixels beyond are not used." << std::endl;
}

}  // namespace

void reportConfigError(BlenderConfig& config, const char* message, std::ostream& out) {
  printLine(out, "------------MORVAINE FILE ERROR------------");
  printLine(out, kBoxRuleLine);
  printLine(out, message);
  printLine(out);
  config.configFile.clear();
  config.configLoaded = false;
}

bool readConfiguration(BlenderConfig& config, std::istream& in, std::ostream& out) {
  printLine(out);
  for (const char* line : kTitle) printLine(out, line);
  printLine(out);
  out << "Morvaine configuration file:" << std::flush;
  if (!(in >> config.configFile)) return false;

  const Result<FileText> file = readWholeFile(config.configFile);
  if (file)
    applyConfigurationText(config, file->view(), out);
  else
    reportConfigError(config, kConfigFailedToOpen, out);
  return true;
}

void applyConfigurationText(BlenderConfig& config, std::string_view text, std::ostream& out) {
  const ConfigurationText parsed = parseConfiguration(text);
  if (parsed.keyframeCount) {
    config.keyframeCount = *parsed.keyframeCount;
    config.keyframes.assign(config.keyframeCount, KeyframeImage{});
    config.imagePaths.clear();
    config.inbetweenCounts.clear();
  }
  if (parsed.minDisplacement) config.minDisplacement = *parsed.minDisplacement;
  if (parsed.maxDisplacement) config.maxDisplacement = *parsed.maxDisplacement;
  for (std::size_t i = 0; i < parsed.entries.size(); ++i) {
    config.imagePaths.push_back(parsed.entries[i].imagePath);
    config.keyframes[i].name = parsed.entries[i].imagePath;
    config.inbetweenCounts.push_back(parsed.entries[i].inbetweenCount);
    loadKeyframe(config, i, out);
  }
  if (parsed.lastPath) {
    config.imagePaths.push_back(*parsed.lastPath);
    config.keyframes[parsed.entries.size()].name = *parsed.lastPath;
  }
  if (parsed.error) return reportConfigError(config, parsed.error, out);
  config.configLoaded = true;
}

}  // namespace zorvel
