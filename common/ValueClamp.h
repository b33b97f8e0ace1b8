#pragma once

// The rule every number typed at a prompt follows: it is held to its range at once,
// with one line that names the value, the bound and the new value; a MAX typed below
// its MIN swaps the two, with its own line. The cruncher and the viewer both use it.

#include <iosfwd>

namespace zorvel {

// What the clamp lines say: "<what> lower than <lowText>. Value modified to
// <lowResult>." and "<what> higher than <highText>. Value modified to <highText>.".
// `lowResult` is the low bound's text unless given.
struct ClampTexts {
  const char* what;
  const char* lowText;
  const char* highText;
  const char* lowResult = nullptr;
};

// `value` held to [low, high] with strict comparisons (a bound itself stays, without a
// line); the low test comes first. Prints one line on `out` when it corrects.
double clampWithMessage(double value, double low, double high, const ClampTexts& texts, std::ostream& out);
float clampWithMessage(float value, float low, float high, const ClampTexts& texts, std::ostream& out);

// Stores a (clamped) MAX: below the stored `min` it prints "<what> MAX lower than MIN.
// Values of MIN & MAX switched." and swaps, so that `min` <= `max` afterwards.
void storeMaxOverMin(double newMax, double& min, double& max, const char* what, std::ostream& out);

}  // namespace zorvel
