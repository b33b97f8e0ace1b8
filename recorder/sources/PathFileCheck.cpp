#include "recorder/sources/PathFileCheck.h"

#include <cstdint>
#include <string_view>

#include "common/PictureFormat.h"
#include "common/TextScanner.h"

namespace zorvel {

namespace {

// How many whole numbers a line holds, and whether it holds anything else.
struct LineWords {
  int numbers = 0;
  bool other = false;
};

LineWords wordsOf(std::string_view line) {
  LineWords words;
  TextScanner scan(line);
  std::string_view word;
  while (scan.word(word)) {
    TextScanner number(word);
    std::int64_t value = 0;
    if (number.integer(value) && number.atEnd())
      ++words.numbers;
    else
      words.other = true;
  }
  return words;
}

// Line `n` (from 0) of `text`.
std::string_view lineOf(std::string_view text, int n) {
  std::size_t start = 0;
  for (int i = 0; i < n && start != std::string_view::npos; ++i) {
    start = text.find('\n', start);
    if (start != std::string_view::npos) ++start;
  }
  if (start == std::string_view::npos || start > text.size()) return {};
  return text.substr(start, text.find('\n', start) - start);
}

}  // namespace

Result<void> checkPathFileStart(const std::string& start) {
  const auto notPath = [](const std::string& why) { return failure(FailureKind::WrongFormat, why); };
  const PictureFormat format = pictureFormatOf(reinterpret_cast<const std::uint8_t*>(start.data()), start.size());
  if (const char* picture = describePictureFormat(format))
    return notPath(std::string("is ") + picture + ", not a path file (--picture records a picture)");
  const LineWords header = wordsOf(lineOf(start, 0));
  if (header.numbers >= 2 && !header.other) return {};
  if (header.numbers == 1 && !header.other) {
    const LineWords second = wordsOf(lineOf(start, 1));
    const std::string counted =
        ": its first line holds one number, where a path file's holds two, the pixel and "
        "frame counts";
    if (second.numbers == 4 && !second.other) return notPath("looks like a colour file (.pColor)" + counted);
    if (second.numbers <= 1)
      return notPath("looks like a colour or attribute file (.pColor, .pOpacity, .pScale, .pVelocity, .pHeight)" +
                     counted);
  }
  return notPath("is not a path file: its first line does not hold the pixel and frame counts");
}

}  // namespace zorvel
