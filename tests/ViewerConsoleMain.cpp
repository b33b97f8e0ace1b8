// The viewer with its window replaced by nothing: the console dialogue and the loading
// run as in the real program, and the process ends where the window would open.

#include <iostream>

#include "viewer/ViewerDriver.h"

int main() {
  static zorvel::ViewerScene scene;
  return zorvel::runViewer(scene, std::cin, std::cout, std::cerr,
                           [](zorvel::ViewerScene&, const zorvel::ObjectShape&) {});
}
