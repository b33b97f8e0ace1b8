#pragma once

#include "common/ColorRGBA.h"
#include "common/Vector3.h"

namespace zorvel {

// One pixel of the colour image as a particle travelling home.
struct PixelParticle {
  ColorRGBA colour;
  Vector3 position;      // where it is in the current frame
  Vector3 nextPosition;  // where it will be in the next frame
  Vector3 homePosition;  // its place in the picture, height offset included
  float velocityScalar = 1.0f;
};

}  // namespace zorvel
