#include <iostream>

#include "playback/MemoryReuse.h"
#include "viewer/ViewerDriver.h"
#include "viewer/ViewerView.h"

int main(int argc, char** argv) {
  zorvel::keepFreedMemoryForReuse();
  static zorvel::ViewerScene scene;
  return zorvel::runViewer(scene, std::cin, std::cout, std::cerr,
                           [&argc, argv](zorvel::ViewerScene& loaded, const zorvel::ObjectShape& shape) {
                             zorvel::runViewerWindow(argc, argv, loaded, shape);
                           });
}
