#include "recorder/drawing/MonotoneCurve.h"

#include <algorithm>
#include <cmath>

namespace zorvel {

MonotoneCurve::MonotoneCurve(std::vector<double> xs, std::vector<double> ys)
    : xs_(std::move(xs)), ys_(std::move(ys)), slopes_(xs_.size(), 0.0) {
  // Inside, where the values turn (or stay) the slope is 0; else the weighted harmonic
  // mean of the slopes of the two lines on either side, which is at most three times
  // the smaller of them: the bound within which a cubic between two points stays
  // between their values. The first and the last point keep slope 0.
  for (std::size_t i = 1; i + 1 < xs_.size(); ++i) {
    const double before = xs_[i] - xs_[i - 1], after = xs_[i + 1] - xs_[i];
    const double rising = (ys_[i] - ys_[i - 1]) / before, next = (ys_[i + 1] - ys_[i]) / after;
    if (rising * next <= 0) continue;
    slopes_[i] = 3 * (before + after) / ((2 * after + before) / rising + (after + 2 * before) / next);
  }
}

double MonotoneCurve::at(double x) const {
  if (x <= xs_.front()) return ys_.front();
  if (x >= xs_.back()) return ys_.back();
  const std::size_t i = static_cast<std::size_t>(std::upper_bound(xs_.begin(), xs_.end(), x) - xs_.begin()) - 1;
  const double h = xs_[i + 1] - xs_[i], t = (x - xs_[i]) / h;
  const double t2 = t * t, t3 = t2 * t;
  const double value = (2 * t3 - 3 * t2 + 1) * ys_[i] + (t3 - 2 * t2 + t) * h * slopes_[i] +
                       (-2 * t3 + 3 * t2) * ys_[i + 1] + (t3 - t2) * h * slopes_[i + 1];
  // The cubic stays within its two points' values; rounding is held there too.
  return std::clamp(value, std::min(ys_[i], ys_[i + 1]), std::max(ys_[i], ys_[i + 1]));
}

}  // namespace zorvel
