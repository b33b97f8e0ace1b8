#include <iostream>

#include "BlenderDriver.h"
#include "BlenderView.h"

namespace {

zorvel::BlenderConfig gConfig;

}  // namespace

int main(int argc, char** argv) {
  return zorvel::runBlender(gConfig, std::cin, std::cout,
                            [&argc, argv](const zorvel::BlenderConfig& config, const zorvel::BlendFrames& frames) {
                              zorvel::runBlendView(argc, argv, config, frames);
                            });
}
