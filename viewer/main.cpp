#include <iostream>

#include "viewer/ViewerDriver.h"
#include "viewer/ViewerView.h"

int main(int argc, char** argv) {
  static zorvel::ViewerScene scene;
  return zorvel::runViewer(scene, std::cin, std::cout, std::cerr,
                           [&argc, argv](zorvel::ViewerScene& loaded, const zorvel::ObjectShape& shape) {
                             zorvel::runViewerWindow(argc, argv, loaded, shape);
                           });
}
