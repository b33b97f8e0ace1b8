#include "recorder/drawing/CameraMoves.h"

#include <algorithm>
#include <cmath>

#include "playback/Camera.h"

namespace zorvel {

namespace {

constexpr double kPi = 3.14159265358979323846;

// From 0 to 1 as `s` goes from 0 to 1, with no speed and no acceleration at either end.
double eased(double s) { return s * s * s * (s * (s * 6 - 15) + 10); }

// Where `p` lies before the eye of the camera `values`: turned, then moved.
Point3 inEyeSpace(const Vector3& p, const CameraValues& values) {
  const Point3 turned = Camera::turned(p, values.turnX, values.turnY);
  return {turned.x + values.panX, turned.y + values.panY, turned.z + values.zoom - kCameraDistance};
}

}  // namespace

CameraValues cameraValuesOf(const ViewState& view) {
  return {view.zoom, view.panX, view.panY, view.rotateX, view.rotateY};
}

void setCameraValues(ViewState& view, const CameraValues& values) {
  view.zoom = values.zoom;
  view.panX = values.panX;
  view.panY = values.panY;
  view.rotateX = values.turnX;
  view.rotateY = values.turnY;
}

CameraPath::CameraPath(const CameraValues& still) : rest_(still) {}

CameraPath CameraPath::swinging(const CameraValues& rest, const CameraSwing& swing, const Framing& home,
                                std::int32_t frames) {
  CameraPath path(rest);
  path.kind_ = Kind::Swing;
  path.swing_ = swing;
  path.home_ = home;
  path.frames_ = frames;
  if (!home.bounds.empty) {
    const Bounds& b = home.bounds;
    path.middle_ = {(b.low.x + b.high.x) / 2, (b.low.y + b.high.y) / 2, (b.low.z + b.high.z) / 2};
    path.restShortfall_ = std::max(0.0, path.shortfall(rest));
  }
  return path;
}

CameraPath CameraPath::keyed(const std::vector<CameraKey>& keys) {
  CameraPath path(keys.front().values);
  path.kind_ = Kind::Keys;
  std::vector<double> frames;
  for (const CameraKey& key : keys) frames.push_back(key.frame);
  for (float CameraValues::*value :
       {&CameraValues::zoom, &CameraValues::panX, &CameraValues::panY, &CameraValues::turnX, &CameraValues::turnY}) {
    std::vector<double> values;
    for (const CameraKey& key : keys) values.push_back(key.values.*value);
    path.curves_.emplace_back(frames, std::move(values));
  }
  return path;
}

CameraValues CameraPath::at(std::int64_t f) const {
  switch (kind_) {
    case Kind::Still: break;
    case Kind::Swing: return swung(f);
    case Kind::Keys: {
      const double x = static_cast<double>(f);
      return {static_cast<float>(curves_[0].at(x)), static_cast<float>(curves_[1].at(x)),
              static_cast<float>(curves_[2].at(x)), static_cast<float>(curves_[3].at(x)),
              static_cast<float>(curves_[4].at(x))};
    }
  }
  return rest_;
}

bool CameraPath::stillAt(std::int64_t f, std::int64_t frames) const {
  if (kind_ == Kind::Still) return true;
  if (f > 0) return at(f) == at(f - 1);
  return frames <= 1 || at(0) == at(1);
}

double CameraPath::shortfall(const CameraValues& values) const {
  const Projection projection = projectionFor(home_.width, home_.height);
  const double tanY = std::tan(projection.fieldOfView * 0.5 * kPi / 180.0) * (1 - home_.margin);
  const double tanX = tanY * projection.aspect;
  const Bounds& b = home_.bounds;
  // A corner at q before the eye is in view with the margin when |q.x| <= -q.z tanX and
  // |q.y| <= -q.z tanY, and clear of the near plane when -q.z >= near + 1: moving the
  // camera back by d adds d to -q.z.
  double needed = -1e300;
  for (int c = 0; c < 8; ++c) {
    const Vector3 corner{c & 1 ? b.high.x : b.low.x, c & 2 ? b.high.y : b.low.y, c & 4 ? b.high.z : b.low.z};
    const Point3 q = inEyeSpace(corner, values);
    needed =
        std::max({needed, std::fabs(q.x) / tanX + q.z, std::fabs(q.y) / tanY + q.z, q.z + projection.nearPlane + 1.0});
  }
  return needed;
}

CameraValues CameraPath::swung(std::int64_t f) const {
  const double s = frames_ > 1 ? static_cast<double>(f) / (frames_ - 1) : 1.0;
  if (s >= 1) return rest_;
  const double e = eased(std::max(0.0, s));
  const double degrees = swing_.degrees * (1 - e);
  // Turned about the vertical axis through the middle: the middle stays where the rest
  // camera sees it.
  CameraValues values = rest_;
  values.turnY = static_cast<float>(rest_.turnY + degrees);
  const Point3 before = inEyeSpace(middle_, rest_), after = inEyeSpace(middle_, values);
  values.panX = static_cast<float>(rest_.panX + before.x - after.x);
  values.panY = static_cast<float>(rest_.panY + before.y - after.y);
  values.zoom = static_cast<float>(rest_.zoom + before.z - after.z);
  // Moved back where the turn brings a corner out of the view.
  if (!home_.bounds.empty) values.zoom -= static_cast<float>(std::max(0.0, shortfall(values) - restShortfall_));
  // Pulled in towards the middle.
  const double in = 1 - (swing_.pullBack + (1 - swing_.pullBack) * e);
  const Point3 middle = inEyeSpace(middle_, values);
  values.panX = static_cast<float>(values.panX - in * middle.x);
  values.panY = static_cast<float>(values.panY - in * middle.y);
  values.zoom = static_cast<float>(values.zoom - in * middle.z);
  return values;
}

}  // namespace zorvel
