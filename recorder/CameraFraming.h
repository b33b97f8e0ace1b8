#pragma once

// The recorder's camera. By default it frames the picture at home: turned a little so
// that depth shows, and as close as it can be with every home position (and the box
// around it) in view and a small margin, for a picture of a given width and height.

#include <vector>

#include "common/Vector3.h"
#include "playback/ViewState.h"

namespace zorvel {

// The angles of the framed camera, in degrees: turned a little about x and y.
constexpr float kFramedTurnX = 8.0f;
constexpr float kFramedTurnY = -15.0f;

// Where the picture's points lie: the smallest box around them.
struct Bounds {
  Vector3 low, high;
  bool empty = true;
  void add(const Vector3& p);
};

// The view's camera fields (zoom, pan, turn) that frame `bounds`, turned `turnX` and
// `turnY` degrees, for a picture of width x height with the view's projection. Every
// corner of `bounds` then lies in the picture, `margin` (a fraction of its half width
// and half height) from its edges.
void frameCamera(ViewState& view, const Bounds& bounds, float turnX, float turnY, int width, int height,
                 double margin = 0.06);

// The view's projection for a picture of width x height, its far plane moved out (never
// in) so far that every corner of `bounds` lies before it: a picture so large that the
// camera frames it from afar stays in sight, and every recording that fits keeps the
// windows' projection exactly.
Projection projectionReaching(const ViewState& view, const Bounds& bounds, int width, int height);

}  // namespace zorvel
