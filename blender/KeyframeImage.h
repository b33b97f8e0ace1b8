#pragma once

#include "common/BasicPixelImage.h"
#include "common/ColorRGBA.h"
#include "common/Vector3.h"

namespace zorvel {

// One pixel of a keyframe picture: its colour and its place on the picture's grid.
struct KeyframePixel {
  ColorRGBA colour;
  Vector3 position;
};

using KeyframeImage = BasicPixelImage<KeyframePixel>;

// Gives every record of `image` its place on a unit grid centred on the origin, row 0
// (the file's first row) lowest.
void layOutPixels(KeyframeImage& image);

}  // namespace zorvel
