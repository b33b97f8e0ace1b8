#include "common/ValueClamp.h"

#include <ostream>
#include <sstream>
#include <string>

#include "common/ConsoleText.h"

namespace zorvel {

namespace {

template <class T>
T clamp(T value, const ValueRange& range, const char* what, std::ostream& out) {
  const T low = static_cast<T>(range.low), high = static_cast<T>(range.high);
  if (value < low) {
    const std::string bound = ValueRange::text(range.low);
    printLine(out, std::string(what) + " lower than " + (range.lowNamed ? range.lowNamed : bound) +
                       ". Value modified to " + bound + ".");
    return low;
  }
  if (value > high) {
    const std::string bound = ValueRange::text(range.high);
    printLine(out, std::string(what) + " higher than " + bound + ". Value modified to " + bound + ".");
    return high;
  }
  return value;
}

}  // namespace

std::string ValueRange::text(double bound) {
  std::ostringstream text;
  text << bound;
  return text.str();
}

double clampWithMessage(double value, const ValueRange& range, const char* what, std::ostream& out) {
  return clamp(value, range, what, out);
}

float clampWithMessage(float value, const ValueRange& range, const char* what, std::ostream& out) {
  return clamp(value, range, what, out);
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
