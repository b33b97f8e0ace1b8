#pragma once

// The camera of a picture, worked out once from the view state: the model-view matrix
// (the scene turned about y, then about x, then moved by the pan and by zoom -
// kCameraDistance along z), the perspective projection and the viewport. The drawing
// loads these matrices, the culling tests boxes against them and the recorder's framing
// turns the scene as they do, so all three see one camera. No OpenGL here.

#include "common/Vector3.h"
#include "playback/ViewState.h"

namespace zorvel {

// A point in double precision.
struct Point3 {
  double x, y, z;
};

class Camera {
 public:
  // The camera of `view` with `projection` (its viewport and perspective).
  Camera(const ViewState& view, const Projection& projection);

  // The matrices, column-major as OpenGL takes them.
  const double* modelView() const { return modelView_; }
  const double* projection() const { return projection_; }
  // Scene coordinates to clip coordinates: projection x model-view.
  const double* clip() const { return clip_; }
  // x, y, width and height of the picture in window pixels.
  const int* viewport() const { return viewport_; }
  // The eye in scene coordinates.
  const Point3& eye() const { return eye_; }

  // `p` turned as the camera turns the scene, `turnX` degrees about x after `turnY`
  // about y, before it is moved.
  static Point3 turned(const Vector3& p, double turnX, double turnY);

 private:
  double modelView_[16];
  double projection_[16];
  double clip_[16];
  int viewport_[4];
  Point3 eye_;
};

}  // namespace zorvel
