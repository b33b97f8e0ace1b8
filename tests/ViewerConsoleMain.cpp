// The viewer with its window replaced by nothing: the console dialogue and the loading
// run as in the real program, and the process ends where the window would open.

#include <iostream>

#include "RtgObject.h"
#include "ViewerDriver.h"

namespace {

zorvel::RtgObject gRtgObject(std::cout);
zorvel::ViewerScene gScene;

}  // namespace

int main() {
  return zorvel::runViewer(gRtgObject, gScene, std::cin, std::cout, std::cerr,
                           [](zorvel::ViewerScene&, const zorvel::ObjectShape&) {});
}
