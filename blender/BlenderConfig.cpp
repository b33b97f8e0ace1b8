#include "BlenderConfig.h"

#include "TextScanner.h"

namespace zorvel {

const char* const kConfigFailedToOpen = "Specified Morvaine configuration file failed to open!";
const char* const kConfigNotAConfiguration = "Specified file is not a Morvaine configuration file!";
const char* const kConfigContainsErrors = "Specified Morvaine configuration file contains errors!";

ConfigurationText parseConfiguration(std::string_view text) {
  ConfigurationText config;
  TextScanner scan(text);
  // Records the error, what was expected and the word that stands there instead.
  const auto fail = [&](const char* message, std::string where) {
    config.error = message;
    config.where = std::move(where);
    std::string_view word;
    TextScanner rest = scan;
    if (rest.word(word)) config.found = std::string(word);
    return config;
  };
  const auto keyword = [&](const char* expected) {
    TextScanner ahead = scan;
    std::string_view word;
    if (!ahead.word(word) || word != expected) return false;
    scan = ahead;
    return true;
  };

  if (!keyword("#MORVAINE_CONFIGURATION_FILE"))
    return fail(kConfigNotAConfiguration, "the first word should be #MORVAINE_CONFIGURATION_FILE");
  if (!keyword("#NUMBER_OF_KEYFRAMES")) return fail(kConfigContainsErrors, "#NUMBER_OF_KEYFRAMES expected");
  std::uint16_t count = 0;
  if (!scan.integer(count)) return fail(kConfigContainsErrors, "the number of keyframes (0 to 65535) expected");
  if (count == 0) return fail(kConfigContainsErrors, "a number of keyframes of at least 1 expected");
  config.keyframeCount = count;
  float displacement = 0;
  if (!keyword("#MINDISPLACEMENT")) return fail(kConfigContainsErrors, "#MINDISPLACEMENT expected");
  if (!scan.number(displacement)) return fail(kConfigContainsErrors, "a number after #MINDISPLACEMENT expected");
  config.minDisplacement = displacement;
  if (!keyword("#MAXDISPLACEMENT")) return fail(kConfigContainsErrors, "#MAXDISPLACEMENT expected");
  if (!scan.number(displacement)) return fail(kConfigContainsErrors, "a number after #MAXDISPLACEMENT expected");
  config.maxDisplacement = displacement;

  std::uint32_t frames = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string entry = "keyframe " + std::to_string(i + 1) + " of " + std::to_string(count) + ": ";
    std::string_view path;
    if (!keyword("#IMAGEPATH")) return fail(kConfigContainsErrors, entry + "#IMAGEPATH expected");
    if (!scan.word(path)) return fail(kConfigContainsErrors, entry + "a picture's file name expected");
    config.lastPath = std::string(path);
    std::uint16_t inbetween = 0;
    if (!keyword("#NUMBER_OF_INTERPOLATION_FRAMES"))
      return fail(kConfigContainsErrors, entry + "#NUMBER_OF_INTERPOLATION_FRAMES expected");
    if (!scan.integer(inbetween))
      return fail(kConfigContainsErrors, entry + "the number of in-between frames (0 to 65535) expected");
    config.entries.push_back({*config.lastPath, inbetween});
    config.lastPath.reset();
    frames += inbetween;
  }
  // Frames come from the in-between counts: a set without any has nothing to play.
  if (frames == 0) {
    config.error = kConfigContainsErrors;
    config.where = "the in-between counts add up to no frames";
  }
  return config;
}

}  // namespace zorvel
