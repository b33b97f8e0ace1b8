// The recorder's moving camera: the curve through a path's keys, the key file, and the
// turntable and pull-back, frame by frame.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "playback/Camera.h"
#include "recorder/command/CameraKeyFile.h"
#include "recorder/drawing/CameraMoves.h"

namespace zorvel::test {
namespace {

TEST(MonotoneCurve, PassesThroughEveryKeyStaysBetweenNeighbouringKeysAndIsLevelOutsideThem) {
  std::mt19937 random(20261210);
  std::uniform_real_distribution<double> value(-50, 50);
  std::uniform_int_distribution<int> gap(1, 30);
  for (int trial = 0; trial < 50; ++trial) {
    std::vector<double> xs, ys;
    const int keys = 2 + trial % 7;
    for (int k = 0; k < keys; ++k) {
      xs.push_back(k == 0 ? gap(random) : xs.back() + gap(random));
      // Now and then a value repeated: a still stretch, which must stay still.
      ys.push_back(k > 0 && trial % 3 == 0 && k % 2 == 0 ? ys.back() : value(random));
    }
    const MonotoneCurve curve(xs, ys);
    for (int k = 0; k < keys; ++k)
      EXPECT_EQ(curve.at(xs[static_cast<std::size_t>(k)]), ys[static_cast<std::size_t>(k)]);
    EXPECT_EQ(curve.at(xs.front() - 5), ys.front());
    EXPECT_EQ(curve.at(xs.back() + 5), ys.back());
    for (std::size_t k = 0; k + 1 < xs.size(); ++k)
      for (double x = xs[k]; x <= xs[k + 1]; x += 0.125) {
        const double y = curve.at(x);
        ASSERT_GE(y, std::min(ys[k], ys[k + 1])) << "at " << x;
        ASSERT_LE(y, std::max(ys[k], ys[k + 1])) << "at " << x;
      }
    // Level at the ends: the first steps from the first key and to the last are small.
    const double first = std::fabs(curve.at(xs.front() + 0.01) - ys.front());
    EXPECT_LT(first, 0.01 * std::fabs(ys[1] - ys[0]) + 1e-9);
  }
}

TEST(CameraPath, ASingleKeyIsAStillCameraAndAKeyPathIsStillWhereItsValuesRepeat) {
  const CameraValues a{-5, 1, 2, 10, -30}, b{-9, 0, 0, 20, 45};
  const CameraPath single = CameraPath::keyed({{7, a}});
  for (std::int64_t f : {0, 7, 100}) EXPECT_EQ(single.at(f), a);
  EXPECT_TRUE(single.stillAt(0, 20) && single.stillAt(13, 20));
  const CameraPath path = CameraPath::keyed({{0, a}, {10, b}, {20, b}});
  EXPECT_FALSE(path.stillAt(0, 30));
  EXPECT_FALSE(path.stillAt(10, 30));
  for (std::int64_t f = 11; f < 30; ++f) {
    EXPECT_EQ(path.at(f), b) << f;
    EXPECT_TRUE(path.stillAt(f, 30)) << f;
  }
}

TEST(CameraKeyFile, ReadsKeysPastCommentsAndBlankLinesAndSaysWhichLineIsWrongAndWhy) {
  const Result<std::vector<CameraKey>> keys = parseCameraKeys(
      "# a path\n\n0 -12 0 -2 10 -45  # the start\n"
      "  25 -8.5 1e-1 -2 12 30\n");
  ASSERT_TRUE(keys) << keys.failure().reason;
  ASSERT_EQ(keys->size(), 2u);
  EXPECT_EQ(keys->back().frame, 25);
  EXPECT_EQ(keys->back().values, (CameraValues{-8.5f, 0.1f, -2, 12, 30}));
  const std::pair<const char*, const char*> refused[] = {
      {"", "no key in it"},
      {"# only a comment\n", "no key in it"},
      {"0 1 2 3 4\n", "line 1: a key is six numbers, FRAME ZOOM PANX PANY TURNX TURNY, not 5 words"},
      {"0 1 2 3 4 5 6\n", "line 1: a key is six numbers"},
      {"\n-1 1 2 3 4 5\n", "line 2: FRAME is a whole number from 0 to 2147483647, not \"-1\""},
      {"2.5 1 2 3 4 5\n", "line 1: FRAME is a whole number"},
      {"2147483648 1 2 3 4 5\n", "line 1: FRAME is a whole number"},
      {"0 1 x 3 4 5\n", "line 1: PANX is a number the camera can take, not \"x\""},
      {"0 1 2 3 4 1e39\n", "line 1: TURNY is a number the camera can take, not \"1e39\""},
      {"5 1 2 3 4 5\n5 1 2 3 4 5\n", "line 2: frame 5 does not come after frame 5"},
      {"5 1 2 3 4 5\n# two\n3 1 2 3 4 5\n", "line 3: frame 3 does not come after frame 5"},
  };
  for (const auto& [text, says] : refused) {
    const Result<std::vector<CameraKey>> bad = parseCameraKeys(text);
    ASSERT_FALSE(bad) << text;
    EXPECT_EQ(bad.failure().reason.rfind(says, 0), 0u) << bad.failure().reason;
  }
}

// A picture at home with depth: 16 wide, 10 high, 4 deep, around (3, 1, 2).
// The framed camera's framing of it at 400 x 300.
Framing homeOf() {
  Framing home;
  home.bounds.add({-5, -4, 0});
  home.bounds.add({11, 6, 4});
  home.width = 400;
  home.height = 300;
  return home;
}

// The corners of the home in clip space under `values`: each x and y within the margin.
double farthestCorner(const CameraValues& values, const Framing& home) {
  ViewState view = initialViewState(0);
  setCameraValues(view, values);
  const Camera camera(view, projectionFor(home.width, home.height));
  double farthest = 0;
  for (int c = 0; c < 8; ++c) {
    const double p[4] = {c & 1 ? home.bounds.high.x : home.bounds.low.x, c & 2 ? home.bounds.high.y : home.bounds.low.y,
                         c & 4 ? home.bounds.high.z : home.bounds.low.z, 1};
    double q[4] = {0, 0, 0, 0};
    for (int row = 0; row < 4; ++row)
      for (int k = 0; k < 4; ++k) q[row] += camera.clip()[k * 4 + row] * p[k];
    EXPECT_GT(q[3], 0) << "a corner behind the eye";
    farthest = std::max({farthest, std::fabs(q[0] / q[3]), std::fabs(q[1] / q[3])});
  }
  return farthest;
}

TEST(CameraPath, AnOrbitStartsTurnedEndsOnTheStillCameraAndKeepsThePictureInViewAtEveryAngle) {
  const Framing home = homeOf();
  ViewState framed = initialViewState(0);
  frameCamera(framed, home);
  const CameraValues rest = cameraValuesOf(framed);
  ASSERT_LE(farthestCorner(rest, home), 1 - home.margin + 1e-4);
  for (const double degrees : {90.0, -360.0, 720.0}) {
    SCOPED_TRACE(degrees);
    const std::int32_t frames = 60;
    const CameraPath orbit = CameraPath::swinging(rest, {degrees, 1}, home, frames);
    EXPECT_FLOAT_EQ(orbit.at(0).turnY, static_cast<float>(rest.turnY + degrees));
    EXPECT_EQ(orbit.at(0).turnX, rest.turnX);
    EXPECT_EQ(orbit.at(frames - 1), rest);
    EXPECT_EQ(orbit.at(frames + 10), rest);
    // Eased: the first and the last steps are far smaller than the middle ones.
    const double firstStep = std::fabs(orbit.at(1).turnY - orbit.at(0).turnY);
    const double middleStep = std::fabs(orbit.at(frames / 2).turnY - orbit.at(frames / 2 - 1).turnY);
    const double lastStep = std::fabs(orbit.at(frames - 1).turnY - orbit.at(frames - 2).turnY);
    EXPECT_LT(firstStep, middleStep / 50);
    EXPECT_LT(lastStep, middleStep / 50);
    for (std::int32_t f = 0; f < frames; ++f) {
      EXPECT_LE(farthestCorner(orbit.at(f), home), 1 - home.margin + 1e-4) << "frame " << f;
      EXPECT_FALSE(orbit.stillAt(f, frames)) << "frame " << f;
    }
  }
  // A quarter turn: the picture seen from its side, still all of it in view.
  const CameraPath quarter = CameraPath::swinging(rest, {90, 1}, home, 2);
  EXPECT_LE(farthestCorner(quarter.at(0), home), 1 - home.margin + 1e-4);
  EXPECT_GT(farthestCorner(quarter.at(0), home), 0.5);
}

TEST(CameraPath, APullBackStartsAtItsFactorOfTheDistanceFromTheMiddleAndEndsOnTheStillCamera) {
  const Framing home = homeOf();
  ViewState framed = initialViewState(0);
  frameCamera(framed, home);
  const CameraValues rest = cameraValuesOf(framed);
  const Point3 middle{3, 1, 2};
  const auto distance = [&](const CameraValues& values) {
    ViewState view = initialViewState(0);
    setCameraValues(view, values);
    const Point3 eye = Camera(view, projectionFor(home.width, home.height)).eye();
    return std::hypot(eye.x - middle.x, eye.y - middle.y, eye.z - middle.z);
  };
  for (const double factor : {0.05, 0.3}) {
    const CameraPath pull = CameraPath::swinging(rest, {0, factor}, home, 40);
    EXPECT_NEAR(distance(pull.at(0)), factor * distance(rest), 1e-3 * distance(rest));
    EXPECT_EQ(pull.at(0).turnY, rest.turnY);
    EXPECT_EQ(pull.at(39), rest);
    for (std::int32_t f = 1; f < 40; ++f) EXPECT_GT(distance(pull.at(f)), distance(pull.at(f - 1)) - 1e-4);
  }
  // With an orbit: turned and pulled in at once.
  const CameraPath both = CameraPath::swinging(rest, {45, 0.5}, home, 40);
  EXPECT_FLOAT_EQ(both.at(0).turnY, rest.turnY + 45);
  EXPECT_EQ(both.at(39), rest);
}

}  // namespace
}  // namespace zorvel::test
