#pragma once

// The text of the path file: a header line "N F" (F padded with blanks to a fixed
// width, so that the count written at the end never runs into the frames), an empty
// line, then per frame a line with its number and one line "x y z" per particle, the
// coordinates with 4 significant digits.

#include <cstdint>
#include <cstring>
#include <string>

#include "TextFileWriter.h"
#include "Vector3.h"

namespace zorvel {

// The header line without its line end; any 32-bit frame count fits its width.
std::string pathFileHeader(std::uint32_t pixelCount, std::int32_t frameCount);

// One particle's coordinate line, remembering the text of its last coordinates: a
// particle moves along one axis per frame and not at all once home, so most
// coordinates are written again unchanged and only the changed axis is formatted.
class CoordinateLine {
 public:
  // Appends "x y z\n" at `to` (room for kMaxLineText characters) and returns the end.
  char* write(const Vector3& p, char* to) {
    update(0, p.x);
    update(1, p.y);
    update(2, p.z);
    for (int axis = 0; axis < 3; ++axis) {
      std::memcpy(to, text_[axis], length_[axis]);
      to += length_[axis];
      *to++ = axis < 2 ? ' ' : '\n';
    }
    return to;
  }
  static constexpr std::size_t kMaxLineText = 3 * (kMaxNumberText + 1);

 private:
  void update(int axis, float value) {
    if (length_[axis] != 0 && std::memcmp(&value, &value_[axis], sizeof value) == 0) return;
    value_[axis] = value;
    length_[axis] = static_cast<std::uint8_t>(formatGeneral(text_[axis], value, 4) - text_[axis]);
  }

  float value_[3] = {};
  std::uint8_t length_[3] = {};
  char text_[3][kMaxNumberText];
};

}  // namespace zorvel
