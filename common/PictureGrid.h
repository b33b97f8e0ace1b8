#pragma once

#include "common/Vector3.h"

namespace zorvel {

// Where pixel (column, row) of a picture `width` x `height` sits in space: on a grid of
// unit squares in the plane z = 0, centred on the origin, row 0 (the file's first row)
// lowest. Whole-unit positions for odd sizes, half-unit ones for even sizes.
inline Vector3 gridPosition(int column, int row, float width, float height) {
  return {static_cast<float>((column - width * 0.5) + 0.5), static_cast<float>((row - height * 0.5) + 0.5), 0.0f};
}

}  // namespace zorvel
