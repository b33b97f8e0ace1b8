#include "playback/Camera.h"

#include <cmath>

namespace zorvel {

namespace {

constexpr double kPi = 3.14159265358979323846;

double radians(double degrees) { return degrees * kPi / 180.0; }

}  // namespace

Point3 Camera::turned(const Vector3& p, double turnX, double turnY) {
  const double ay = radians(turnY), ax = radians(turnX);
  const double x1 = p.x * std::cos(ay) + p.z * std::sin(ay);
  const double z1 = -p.x * std::sin(ay) + p.z * std::cos(ay);
  const double y2 = p.y * std::cos(ax) - z1 * std::sin(ax);
  const double z2 = p.y * std::sin(ax) + z1 * std::cos(ax);
  return {x1, y2, z2};
}

Camera::Camera(const ViewState& view, const Projection& p) {
  // The model-view: the turns as the columns of the unit axes turned, then the move.
  const Point3 axes[3] = {turned({1, 0, 0}, view.rotateX, view.rotateY), turned({0, 1, 0}, view.rotateX, view.rotateY),
                          turned({0, 0, 1}, view.rotateX, view.rotateY)};
  const double move[3] = {view.panX, view.panY, static_cast<double>(view.zoom) - kCameraDistance};
  for (std::size_t column = 0; column < 3; ++column) {
    modelView_[column * 4] = axes[column].x;
    modelView_[column * 4 + 1] = axes[column].y;
    modelView_[column * 4 + 2] = axes[column].z;
    modelView_[column * 4 + 3] = 0;
  }
  for (int row = 0; row < 3; ++row) modelView_[12 + row] = move[row];
  modelView_[15] = 1;

  // The perspective, as gluPerspective makes it.
  const double f = 1.0 / std::tan(radians(p.fieldOfView) / 2);
  for (double& m : projection_) m = 0;
  projection_[0] = f / p.aspect;
  projection_[5] = f;
  projection_[10] = (p.farPlane + p.nearPlane) / (p.nearPlane - p.farPlane);
  projection_[11] = -1;
  projection_[14] = 2 * p.farPlane * p.nearPlane / (p.nearPlane - p.farPlane);

  for (int column = 0; column < 4; ++column)
    for (int row = 0; row < 4; ++row) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += projection_[k * 4 + row] * modelView_[column * 4 + k];
      clip_[column * 4 + row] = sum;
    }
  viewport_[0] = 0;
  viewport_[1] = 0;
  viewport_[2] = p.viewportWidth;
  viewport_[3] = p.viewportHeight;
  // The scene is turned and moved, never scaled: the eye is the move taken back
  // through the turn.
  double eye[3];
  for (int row = 0; row < 3; ++row) {
    eye[row] = 0;
    for (int k = 0; k < 3; ++k) eye[row] -= modelView_[row * 4 + k] * modelView_[12 + k];
  }
  eye_ = {eye[0], eye[1], eye[2]};
}

}  // namespace zorvel
