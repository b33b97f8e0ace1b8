#include "BlenderConfig.h"

#include <istream>
#include <numeric>
#include <ostream>

#include "TextScanner.h"
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

const char* const kFailedToOpen = "Specified Morvaine configuration file failed to open!";
const char* const kNotAConfiguration = "Specified file is not a Morvaine configuration file!";
const char* const kContainsErrors = "Specified Morvaine configuration file contains errors!";

}  // namespace

void reportConfigError(BlenderConfig& config, const char* message, std::ostream& out) {
  out << "------------MORVAINE FILE ERROR------------" << std::endl;
  out << "-------------------------------------------" << std::endl;
  out << message << std::endl;
  out << std::endl;
  config.configFile.clear();
  config.configLoaded = false;
}

void layOutPixels(KeyframeImage& image) {
  std::size_t k = 0;
  for (int r = 0; r < image.height; ++r)
    for (int c = 0; c < image.width && k < image.records.size(); ++c, ++k)
      image.records[k].position = {static_cast<float>(c - image.width * 0.5 + 0.5),
                                   static_cast<float>(r - image.height * 0.5 + 0.5), 0.0f};
}

bool readConfiguration(BlenderConfig& config, std::istream& in, std::ostream& out) {
  out << std::endl;
  for (const char* line : kTitle) out << line << std::endl;
  out << std::endl;
  out << "Morvaine configuration file:" << std::flush;
  if (!(in >> config.configFile)) return false;

  const std::optional<FileText> file = readWholeFile(config.configFile);
  if (file)
    readConfigurationText(config, file->view(), out);
  else
    reportConfigError(config, kFailedToOpen, out);
  return true;
}

void readConfigurationText(BlenderConfig& config, std::string_view text, std::ostream& out) {
  TextScanner scan(text);
  std::string_view word;
  const auto keyword = [&](const char* expected) { return scan.word(word) && word == expected; };
  const auto fail = [&](const char* message) { reportConfigError(config, message, out); };

  if (!keyword("#MORVAINE_CONFIGURATION_FILE")) return fail(kNotAConfiguration);
  std::uint16_t count = 0;
  if (!keyword("#NUMBER_OF_KEYFRAMES") || !scan.integer(count) || count == 0) return fail(kContainsErrors);
  config.keyframeCount = count;
  config.keyframes.assign(count, KeyframeImage{});
  config.imagePaths.clear();
  config.inbetweenCounts.clear();
  if (!keyword("#MINDISPLACEMENT") || !scan.number(config.minDisplacement)) return fail(kContainsErrors);
  if (!keyword("#MAXDISPLACEMENT") || !scan.number(config.maxDisplacement)) return fail(kContainsErrors);

  for (std::size_t i = 0; i < count; ++i) {
    KeyframeImage& image = config.keyframes[i];
    std::string_view path;
    if (!keyword("#IMAGEPATH") || !scan.word(path)) return fail(kContainsErrors);
    config.imagePaths.emplace_back(path);
    image.name = std::string(path);
    std::uint16_t inbetween = 0;
    if (!keyword("#NUMBER_OF_INTERPOLATION_FRAMES") || !scan.integer(inbetween)) return fail(kContainsErrors);
    config.inbetweenCounts.push_back(inbetween);
    image.loadAndSummarise(out);
    layOutPixels(image);
    const KeyframeImage& first = config.keyframes[0];
    if (i > 0 && (image.width != first.width || image.height != first.height))
      out << "Keyframe image " << image.name << " is " << image.width << " x " << image.height << ", not "
          << first.width << " x " << first.height
          << " as the first keyframe image: pixels it lacks are black, pixels beyond are not used." << std::endl;
  }
  // Frames come from the in-between counts: a set without any has nothing to play.
  if (std::accumulate(config.inbetweenCounts.begin(), config.inbetweenCounts.end(), 0u) == 0)
    return fail(kContainsErrors);
  config.configLoaded = true;
}

}  // namespace zorvel
