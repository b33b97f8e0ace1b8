// The blender with its window replaced by nothing: the console dialogue, the readings
// and the frame building run as in the real program.

#include <iostream>

#include "blender/BlenderDriver.h"

int main() {
  static zorvel::BlenderConfig config;
  return zorvel::runBlender(config, std::cin, std::cout, std::cerr,
                            [](const zorvel::BlenderConfig&, const zorvel::BlendFrames&) {});
}
