#pragma once

// A smooth curve through points (x rising), one value of the camera's over the frames:
// a cubic between each two points (Hermite's form), its slopes chosen so that it never
// leaves the range of the two points it joins (no overshoot), and level at the first
// and the last point, so that a move starts and comes to rest without a jolt. Before
// the first point and after the last the curve stays at that point's value.

#include <vector>

namespace zorvel {

class MonotoneCurve {
 public:
  // Needs at least one point, `xs` strictly rising and as many `ys`.
  MonotoneCurve(std::vector<double> xs, std::vector<double> ys);

  // The curve's value at `x`.
  double at(double x) const;

 private:
  std::vector<double> xs_, ys_;
  std::vector<double> slopes_;  // the curve's slope at each point
};

}  // namespace zorvel
