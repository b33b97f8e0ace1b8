#pragma once

// Where the viewer's pixels lie, for framing a recording of them.

#include "recorder/drawing/CameraFraming.h"
#include "viewer/ObjectShape.h"
#include "viewer/ViewerScene.h"

namespace zorvel {

// Where the viewer's pixels lie at `coordinates` (x, y, z a pixel): each pixel's cube of
// its scale, or the object's extent around it.
Bounds pixelBounds(const ViewerScene& scene, const ObjectShape& shape, const float* coordinates);

// Where pixels whose positions lie within `positions` lie, the largest cube or the
// object's extent around each included.
Bounds pixelsWithin(const Bounds& positions, const ViewerScene& scene, const ObjectShape& shape);

}  // namespace zorvel
