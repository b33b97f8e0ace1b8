#pragma once

// The text of the path file: a header line "N F" (F padded with blanks to a fixed
// width, so that the count written at the end never runs into the frames), an empty
// line, then per frame a line with its number and one line "x y z" per particle, the
// coordinates with 4 significant digits.

#include <cstdint>
#include <cstring>
#include <string>

#include "common/TextScanner.h"
#include "common/Vector3.h"
#include "cruncher/TextFileWriter.h"

namespace zorvel {

// The header line without its line end; any 32-bit frame count fits its width.
std::string pathFileHeader(std::uint32_t pixelCount, std::int32_t frameCount);

// The significant digits of a coordinate in the file.
constexpr int kCoordinateDigits = 4;

// A coordinate as the viewer reads it back from the path file: written with the file's
// digits, read as the readers read numbers.
inline float coordinateReadBack(float coordinate) {
  char text[kMaxNumberText];
  const char* end = formatGeneral(text, coordinate, kCoordinateDigits);
  float value = 0;
  TextScanner(std::string_view(text, static_cast<std::size_t>(end - text))).number(value);
  return value;
}

// The text of one particle's coordinate line, "x y z\n", kept from frame to frame: a
// particle moves along one axis per frame and not at all once home, so most lines are
// written again unchanged, and of a changed line only the changed number is formatted
// again. Small, as there is one per particle and the frame loop walks them all every
// frame.
class CoordinateText {
 public:
  // Room that one line takes at most: three numbers of at most 10 characters
  // ("-1.175e-38") and their separators.
  static constexpr std::size_t kMaxLineText = 36;

  // The whole line of `p`.
  void compose(const Vector3& p) {
    length_ = 0;
    append(p.x);
    xEnd_ = length_;
    line_[length_++] = ' ';
    append(p.y);
    yEnd_ = length_;
    line_[length_++] = ' ';
    append(p.z);
    line_[length_++] = '\n';
  }

  // The line of `p`, which differs from the line's point on `axis` (0, 1, 2) only.
  void update(const Vector3& p, int axis) {
    const std::uint8_t start = axis == 0 ? 0 : axis == 1 ? xEnd_ + 1 : yEnd_ + 1;
    const std::uint8_t end = axis == 0 ? xEnd_ : axis == 1 ? yEnd_ : length_ - 1;
    char number[kMaxNumberText];
    const std::uint8_t size = static_cast<std::uint8_t>(formatGeneral(number,
                                                                      axis == 0   ? p.x
                                                                      : axis == 1 ? p.y
                                                                                  : p.z,
                                                                      kCoordinateDigits) -
                                                        number);
    // Move what follows the number, then put the new number in.
    std::memmove(line_ + start + size, line_ + end, length_ - end);
    std::memcpy(line_ + start, number, size);
    const int shift = size - (end - start);
    length_ = static_cast<std::uint8_t>(length_ + shift);
    if (axis == 0) xEnd_ = static_cast<std::uint8_t>(xEnd_ + shift);
    if (axis <= 1) yEnd_ = static_cast<std::uint8_t>(yEnd_ + shift);
  }

  // Appends the line at `to` (room for kMaxLineText characters) and returns its end.
  char* write(char* to) const {
    std::memcpy(to, line_, kMaxLineText);  // a whole copy of the fixed size: faster than an exact one
    return to + length_;
  }

 private:
  std::uint8_t length_ = 0;
  std::uint8_t xEnd_ = 0;  // where the x and y texts end
  std::uint8_t yEnd_ = 0;
  char line_[kMaxLineText] = {};

  void append(float value) {
    char number[kMaxNumberText];
    const std::size_t size = static_cast<std::size_t>(formatGeneral(number, value, kCoordinateDigits) - number);
    std::memcpy(line_ + length_, number, size);
    length_ = static_cast<std::uint8_t>(length_ + size);
  }
};

}  // namespace zorvel
