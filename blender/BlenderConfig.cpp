#include "blender/BlenderConfig.h"

#include <algorithm>
#include <type_traits>

#include "common/TextScanner.h"

namespace zorvel {

namespace {

// Reads the configuration's words in order, each checked as it comes.
class ConfigurationParser {
 public:
  ConfigurationParser(std::string_view text, ConfigurationText& config) : text_(text), scan_(text), config_(config) {}

  Result<void> parse() {
    if (const Result<void> header = parseHeader(); !header) return header.failure();
    std::uint32_t frames = 0;
    for (std::size_t i = 0; i < *config_.keyframeCount; ++i) {
      const Result<void> entry = parseEntry(i, frames);
      if (!entry) return entry.failure();
    }
    // Frames come from the in-between counts: a set without any has nothing to play.
    if (frames == 0)
      return failure(FailureKind::Malformed,
                     "the numbers after #NUMBER_OF_INTERPOLATION_FRAMES add up to no frames to play");
    return {};
  }

 private:
  // The magic word, the keyframe count and the two displacements.
  Result<void> parseHeader() {
    if (!keyword("#MORVAINE_CONFIGURATION_FILE"))
      return fail(FailureKind::WrongFormat, "not a Morvaine configuration file: #MORVAINE_CONFIGURATION_FILE expected");
    if (!keyword("#NUMBER_OF_KEYFRAMES")) return fail("#NUMBER_OF_KEYFRAMES expected");
    std::uint16_t count = 0;
    const TextScanner atCount = scan_;
    if (!readNumber(count) || count == 0) {
      scan_ = atCount;
      return fail("the number of keyframes (1 to 65535) after #NUMBER_OF_KEYFRAMES expected");
    }
    config_.keyframeCount = count;
    float displacement = 0;
    if (!keyword("#MINDISPLACEMENT")) return fail("#MINDISPLACEMENT expected");
    if (!readNumber(displacement)) return fail("a number after #MINDISPLACEMENT expected");
    config_.minDisplacement = displacement;
    if (!keyword("#MAXDISPLACEMENT")) return fail("#MAXDISPLACEMENT expected");
    if (!readNumber(displacement)) return fail("a number after #MAXDISPLACEMENT expected");
    config_.maxDisplacement = displacement;
    return {};
  }

  // Keyframe i's picture and in-between count; the count is added to `frames`.
  Result<void> parseEntry(std::size_t i, std::uint32_t& frames) {
    const std::string entry =
        "keyframe " + std::to_string(i + 1) + " of " + std::to_string(*config_.keyframeCount) + ": ";
    std::string_view path;
    if (!keyword("#IMAGEPATH")) return fail(entry + "#IMAGEPATH expected");
    if (!scan_.word(path)) return fail(entry + "a picture's file name expected");
    config_.lastPath = std::string(path);
    std::uint16_t inbetween = 0;
    if (!keyword("#NUMBER_OF_INTERPOLATION_FRAMES")) return fail(entry + "#NUMBER_OF_INTERPOLATION_FRAMES expected");
    if (!readNumber(inbetween)) return fail(entry + "the number of in-between frames (0 to 65535) expected");
    config_.entries.push_back({*config_.lastPath, inbetween});
    config_.lastPath.reset();
    frames += inbetween;
    return {};
  }

  // The failure with what was expected and the word that stands there instead.
  Failure fail(const std::string& expected) { return fail(FailureKind::Malformed, expected); }
  Failure fail(FailureKind kind, const std::string& expected) {
    std::string_view word;
    TextScanner rest = scan_;
    if (!rest.word(word))
      return failure(kind,
                     expected + (TextScanner(text_).atEnd() ? ", but the file is empty" : " at the end of the file"));
    const std::size_t start = rest.position() - word.size();
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(text_.begin(), text_.begin() + start, '\n'));
    return failure(kind, expected + ", found \"" + std::string(word) + "\" on line " + std::to_string(line));
  }

  // Takes `expected` when it is the next word.
  bool keyword(const char* expected) {
    TextScanner ahead = scan_;
    std::string_view word;
    if (!ahead.word(word) || word != expected) return false;
    scan_ = ahead;
    return true;
  }

  // A number that cannot be read leaves the scanner before it, to be named.
  template <class T>
  bool readNumber(T& value) {
    const TextScanner before = scan_;
    bool read = false;
    if constexpr (std::is_same_v<T, float>)
      read = scan_.number(value);
    else
      read = scan_.integer(value);
    if (!read) scan_ = before;
    return read;
  }

  std::string_view text_;
  TextScanner scan_;
  ConfigurationText& config_;
};

}  // namespace

Result<void> parseConfiguration(std::string_view text, ConfigurationText& config) {
  return ConfigurationParser(text, config).parse();
}

}  // namespace zorvel
