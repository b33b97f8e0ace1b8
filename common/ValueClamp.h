#pragma once

// The rule every number typed at a prompt follows: it is held to its range at once,
// with one line that names the value, the bound and the new value; a MAX typed below
// its MIN swaps the two, with its own line. The cruncher and the viewer both use it,
// and the recorder holds its options to the same ranges.

#include <iosfwd>
#include <string>

namespace zorvel {

// A range and how its clamp lines name its bounds: "<what> lower than <low>. Value
// modified to <low>." and "<what> higher than <high>. Value modified to <high>.", each
// bound as the stream prints it (0.01, 20). `lowNamed`, when set, is the low bound as
// the line names it, where that differs from the value stored.
struct ValueRange {
  double low;
  double high;
  const char* lowNamed = nullptr;

  // A bound as the lines print it.
  static std::string text(double bound);
};

// `value` held to `range` with strict comparisons (a bound itself stays, without a
// line); the low test comes first. Prints one line on `out` when it corrects.
double clampWithMessage(double value, const ValueRange& range, const char* what, std::ostream& out);
float clampWithMessage(float value, const ValueRange& range, const char* what, std::ostream& out);

// Stores a (clamped) MAX: below the stored `min` it prints "<what> MAX lower than MIN.
// Values of MIN & MAX switched." and swaps, so that `min` <= `max` afterwards.
void storeMaxOverMin(double newMax, double& min, double& max, const char* what, std::ostream& out);

}  // namespace zorvel
