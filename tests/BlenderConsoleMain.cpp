// The blender with its window replaced by nothing: the console dialogue, the readings
// and the frame building run as in the real program.

#include <iostream>

#include "BlenderDriver.h"

namespace {

zorvel::BlenderConfig gConfig;

}  // namespace

int main() {
  return zorvel::runBlender(gConfig, std::cin, std::cout, [](const zorvel::BlenderConfig&, const zorvel::BlendFrames&) {});
}
