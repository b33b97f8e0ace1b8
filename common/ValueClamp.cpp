#include "common/ValueClamp.h"

#include <ostream>
#include <string>

#include "common/ConsoleText.h"

namespace zorvel {

namespace {

template <class T>
T clamp(T value, T low, T high, const ClampTexts& texts, std::ostream& out) {
  const std::string what = texts.what;
  if (value < low) {
    printLine(out, what + " lower than " + texts.lowText + ". Value modified to " +
                       (texts.lowResult ? texts.lowResult : texts.lowText) + ".");
    return low;
  }
  if (value > high) {
    printLine(out, what + " higher than " + texts.highText + ". Value modified to " + texts.highText + ".");
    return high;
  }
  return value;
}

}  // namespace

double clampWithMessage(double value, double low, double high, const ClampTexts& texts, std::ostream& out) {
  return clamp(value, low, high, texts, out);
}

float clampWithMessage(float value, float low, float high, const ClampTexts& texts, std::ostream& out) {
  return clamp(value, low, high, texts, out);
}

void storeMaxOverMin(double newMax, double& min, double& max, const char* what, std::ostream& out) {
  if (newMax < min) {
    printLine(out, std::string(what) + " MAX lower than MIN. Values of MIN & MAX switched.");
    max = min;
    min = newMax;
  } else {
    max = newMax;
  }
}

}  // namespace zorvel
