// Feeds arbitrary text to the RTG reader through all its passes: it must report or read,
// never store past what it made room for, never loop without end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string_view>

#include "viewer/ObjectShape.h"
#include "viewer/RtgObject.h"
#include "viewer/RtgReport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const zorvel::RtgReading reading = zorvel::readRtgObject(std::string_view(reinterpret_cast<const char*>(data), size));
  std::ostringstream out;
  zorvel::printRtgSummary(out, "fuzz.rtg", reading.object);
  zorvel::printRtgObjectInfo(out, "fuzz.rtg", reading.object);
  if (reading.fault) return 0;
  const zorvel::ObjectShape shape = zorvel::flattenObjectCorners(reading.object);
  if (shape.objectCornersX.size() != shape.objectCornersZ.size()) std::abort();
  return 0;
}
