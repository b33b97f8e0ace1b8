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
  zorvel::RtgObject object;
  const zorvel::Result<void> read =
      zorvel::readRtgObject(std::string_view(reinterpret_cast<const char*>(data), size), object);
  std::ostringstream out;
  zorvel::printRtgSummary(out, "fuzz.rtg", object);
  zorvel::printRtgObjectInfo(out, "fuzz.rtg", object);
  if (!read) return 0;
  const zorvel::ObjectShape shape = zorvel::flattenObjectCorners(object);
  if (shape.objectCornersX.size() != shape.objectCornersZ.size()) std::abort();
  return 0;
}
