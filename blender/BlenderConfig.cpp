#include "blender/BlenderConfig.h"

#include <algorithm>
#include <type_traits>

#include "common/TextScanner.h"

namespace zorvel {

const char* const kConfigFailedToOpen = "Specified Morvaine configuration file failed to open!";
const char* const kConfigNotAConfiguration = "Specified file is not a Morvaine configuration file!";
const char* const kConfigContainsErrors = "Specified Morvaine configuration file contains errors!";

ConfigurationText parseConfiguration(std::string_view text) {
  ConfigurationText config;
  TextScanner scan(text);
  // Records the error with what was expected and the word that stands there instead.
  const auto fail = [&](const char* message, const std::string& expected) {
    config.error = message;
    std::string_view word;
    TextScanner rest = scan;
    if (!rest.word(word)) {
      config.reason = expected + (TextScanner(text).atEnd() ? ", but the file is empty" : " at the end of the file");
      return config;
    }
    const std::size_t start = rest.position() - word.size();
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + start, '\n'));
    config.reason = expected + ", found \"" + std::string(word) + "\" on line " + std::to_string(line);
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
    return fail(kConfigNotAConfiguration, "not a Morvaine configuration file: #MORVAINE_CONFIGURATION_FILE expected");
  if (!keyword("#NUMBER_OF_KEYFRAMES")) return fail(kConfigContainsErrors, "#NUMBER_OF_KEYFRAMES expected");
  // A number that cannot be read leaves the scanner before it, to be named.
  const auto readNumber = [&](auto& value) {
    const TextScanner before = scan;
    bool read = false;
    if constexpr (std::is_same_v<std::decay_t<decltype(value)>, float>)
      read = scan.number(value);
    else
      read = scan.integer(value);
    if (!read) scan = before;
    return read;
  };

  std::uint16_t count = 0;
  const TextScanner atCount = scan;
  if (!readNumber(count) || count == 0) {
    scan = atCount;
    return fail(kConfigContainsErrors, "the number of keyframes (1 to 65535) after #NUMBER_OF_KEYFRAMES expected");
  }
  config.keyframeCount = count;
  float displacement = 0;
  if (!keyword("#MINDISPLACEMENT")) return fail(kConfigContainsErrors, "#MINDISPLACEMENT expected");
  if (!readNumber(displacement)) return fail(kConfigContainsErrors, "a number after #MINDISPLACEMENT expected");
  config.minDisplacement = displacement;
  if (!keyword("#MAXDISPLACEMENT")) return fail(kConfigContainsErrors, "#MAXDISPLACEMENT expected");
  if (!readNumber(displacement)) return fail(kConfigContainsErrors, "a number after #MAXDISPLACEMENT expected");
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
    if (!readNumber(inbetween))
      return fail(kConfigContainsErrors, entry + "the number of in-between frames (0 to 65535) expected");
    config.entries.push_back({*config.lastPath, inbetween});
    config.lastPath.reset();
    frames += inbetween;
  }
  // Frames come from the in-between counts: a set without any has nothing to play.
  if (frames == 0) {
    config.error = kConfigContainsErrors;
    config.reason = "the numbers after #NUMBER_OF_INTERPOLATION_FRAMES add up to no frames to play";
  }
  return config;
}

}  // namespace zorvel
