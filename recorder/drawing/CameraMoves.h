#pragma once

// The recorder's camera frame by frame: still, swung round the picture and pulled back
// out of the cloud as the picture lands, or moved along a path of keys. Each frame's
// camera is a set of the viewer's camera values, so that a frame of a moving recording
// is the frame a still recording with those values makes.

#include <cstdint>
#include <optional>
#include <vector>

#include "playback/ViewState.h"
#include "recorder/drawing/CameraFraming.h"
#include "recorder/drawing/MonotoneCurve.h"

namespace zorvel {

// The viewer's camera values: zoom, pan and turn (degrees about x, then y).
struct CameraValues {
  float zoom = 0, panX = 0, panY = 0, turnX = 0, turnY = 0;

  friend bool operator==(const CameraValues& a, const CameraValues& b) {
    return a.zoom == b.zoom && a.panX == b.panX && a.panY == b.panY && a.turnX == b.turnX && a.turnY == b.turnY;
  }
  friend bool operator!=(const CameraValues& a, const CameraValues& b) { return !(a == b); }
};
CameraValues cameraValuesOf(const ViewState& view);
void setCameraValues(ViewState& view, const CameraValues& values);

// A key of a camera path: the camera's values at a frame (counted from 0).
struct CameraKey {
  std::int32_t frame = 0;
  CameraValues values;
};

// A swing over the flight home: the camera starts turned `degrees` about the vertical
// axis through the middle of the picture at home, at `pullBack` times its distance from
// that middle, and eases to rest.
struct CameraSwing {
  double degrees = 0;
  double pullBack = 1;
};

class CameraPath {
 public:
  // The same camera in every frame.
  explicit CameraPath(const CameraValues& still);

  // Over `frames` frames, from the swing's start to `rest` at the last of them, easing
  // in and out (no jolt at either end); the turn keeps every corner of `home.bounds` in
  // view with `home.margin` at `home.width` x `home.height` wherever `rest` does, moving
  // the camera back where the turn needs it. `home.turnX` and `home.turnY` are not used.
  static CameraPath swinging(const CameraValues& rest, const CameraSwing& swing, const Framing& home,
                             std::int32_t frames);

  // Through every key, along curves with no overshoot in any value; before the first
  // key and after the last the camera stays on it. Needs at least one key, frames
  // strictly rising.
  static CameraPath keyed(const std::vector<CameraKey>& keys);

  // The camera of frame `f`.
  CameraValues at(std::int64_t f) const;

  // Whether the camera may move: a swing or a key path.
  bool moves() const { return kind_ != Kind::Still; }

  // Whether frame `f` of `frames` has the camera of the frame before it; the first
  // frame, of the frame after it (or of none, when it is the only one).
  bool stillAt(std::int64_t f, std::int64_t frames) const;

 private:
  enum class Kind { Still, Swing, Keys };
  CameraValues swung(std::int64_t f) const;
  // How far back along its view the camera must move, turned to `values`, to hold every
  // corner of the home in view with the margin (at most 0: where it does already).
  double shortfall(const CameraValues& values) const;

  Kind kind_ = Kind::Still;
  CameraValues rest_;
  CameraSwing swing_;
  Framing home_;
  std::int32_t frames_ = 1;
  Vector3 middle_;                     // of the picture at home
  double restShortfall_ = 0;           // what the rest camera lacks already, never made up for
  std::vector<MonotoneCurve> curves_;  // zoom, pan x, pan y, turn x, turn y of a key path
};

}  // namespace zorvel
