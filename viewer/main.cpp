#include <iostream>

#include "PlaybackView.h"
#include "RtgObject.h"
#include "ViewerDriver.h"

namespace {

// The one RTG object of the process, created before main prints anything.
zorvel::RtgObject gRtgObject(std::cout);
zorvel::ViewerScene gScene;

}  // namespace

int main(int argc, char** argv) {
  return zorvel::runViewer(gRtgObject, gScene, std::cin, std::cout, std::cerr,
                           [&argc, argv](zorvel::ViewerScene& scene, const zorvel::ObjectShape& shape) {
                             zorvel::runPlaybackView(argc, argv, scene, shape);
                           });
}
