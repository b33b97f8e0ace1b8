// Feeds arbitrary text to the RTG reader through all its passes: it must report or read,
// never store past what it made room for, never loop without end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "ObjectShape.h"
#include "RtgObject.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::ostringstream out, err;
  zorvel::RtgObject rtg(out);
  rtg.setFileName("fuzz.rtg");
  rtg.analyzeText(std::string(reinterpret_cast<const char*>(data), size), err);
  rtg.printSummary(out);
  rtg.printObjectInfo(out);
  rtg.readObjectData(err);
  const zorvel::ObjectShape shape = zorvel::firstObjectShape(rtg, out);
  if (shape.objectCornersX.size() != shape.objectCornersZ.size()) std::abort();
  return 0;
}
