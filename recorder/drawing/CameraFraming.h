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

// What a camera frames: the box to hold, the turn it is seen at (degrees about x and y),
// the picture's size, and the margin (a fraction of the picture's half width and half
// height) every corner keeps from its edges.
struct Framing {
  Bounds bounds;
  float turnX = kFramedTurnX, turnY = kFramedTurnY;
  int width = 0, height = 0;
  double margin = 0.06;
};

// The view's camera fields (zoom, pan, turn) that frame `framing.bounds` as the framing
// says, with the view's projection for its picture size.
void frameCamera(ViewState& view, const Framing& framing);

// The view's projection for a picture of width x height, its far plane moved out (never
// in) so far that every corner of `bounds` lies before it: a picture so large that the
// camera frames it from afar stays in sight, and every recording that fits keeps the
// windows' projection exactly.
Projection projectionReaching(const ViewState& view, const Bounds& bounds, int width, int height);

}  // namespace zorvel
