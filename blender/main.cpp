#include <iostream>

#include "blender/BlenderDriver.h"
#include "blender/BlenderView.h"
#include "playback/MemoryReuse.h"

int main(int argc, char** argv) {
  zorvel::keepFreedMemoryForReuse();
  static zorvel::BlenderConfig config;
  return zorvel::runBlender(config, std::cin, std::cout, std::cerr,
                            [&argc, argv](const zorvel::BlenderConfig& loaded, const zorvel::BlendFrames& frames) {
                              zorvel::runBlenderWindow(argc, argv, loaded, frames);
                            });
}
