#include "recorder/command/CameraKeyFile.h"

#include <cstdint>
#include <sstream>
#include <string>

#include "recorder/command/NumberWords.h"

namespace zorvel {

namespace {

constexpr const char* kKeyWords = "FRAME ZOOM PANX PANY TURNX TURNY";

// The words of a line up to its comment.
std::vector<std::string> wordsOf(std::string_view line) {
  std::istringstream words(std::string(line.substr(0, line.find('#'))));
  std::vector<std::string> found;
  for (std::string word; words >> word;) found.push_back(word);
  return found;
}

// The key a line's six words give, or why not.
Result<CameraKey> keyOf(const std::vector<std::string>& words) {
  if (words.size() != 6)
    return failure(FailureKind::WrongFormat, std::string("a key is six numbers, ") + kKeyWords + ", not " +
                                                 std::to_string(words.size()) + " words");
  CameraKey key;
  std::uint32_t frame = 0;
  if (!wholeNumber(words[0], frame) || frame > INT32_MAX)
    return failure(FailureKind::WrongFormat, "FRAME is a whole number from 0 to 2147483647, not \"" + words[0] + "\"");
  key.frame = static_cast<std::int32_t>(frame);
  const char* names[] = {"ZOOM", "PANX", "PANY", "TURNX", "TURNY"};
  float* values[] = {&key.values.zoom, &key.values.panX, &key.values.panY, &key.values.turnX, &key.values.turnY};
  for (std::size_t v = 0; v < 5; ++v)
    if (!wholeNumber(words[v + 1], *values[v]))
      return failure(FailureKind::WrongFormat,
                     std::string(names[v]) + " is a number the camera can take, not \"" + words[v + 1] + "\"");
  return key;
}

}  // namespace

Result<std::vector<CameraKey>> parseCameraKeys(std::string_view text) {
  std::vector<CameraKey> keys;
  std::size_t number = 0;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::vector<std::string> words = wordsOf(text.substr(start, end - start));
    start = end + 1;
    ++number;
    if (words.empty()) continue;
    const std::string where = "line " + std::to_string(number) + ": ";
    Result<CameraKey> key = keyOf(words);
    if (!key) return failure(FailureKind::WrongFormat, where + key.failure().reason);
    if (!keys.empty() && key->frame <= keys.back().frame)
      return failure(FailureKind::WrongFormat, where + "frame " + std::to_string(key->frame) +
                                                   " does not come after frame " + std::to_string(keys.back().frame) +
                                                   " (the frames rise from key to key)");
    keys.push_back(key.value());
  }
  if (keys.empty())
    return failure(FailureKind::WrongFormat, std::string("no key in it (one a line: ") + kKeyWords + ")");
  return keys;
}

}  // namespace zorvel
