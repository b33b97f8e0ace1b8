#pragma once

#include "viewer/ObjectShape.h"
#include "viewer/ViewerScene.h"

namespace zorvel {

// The viewer's window: plays `scene` full screen, each pixel a cube, or `shape` when it
// has polygons. Takes the program's arguments for GLUT. Ends the process on ESC, and
// when the event loop returns.
[[noreturn]] void runViewerWindow(int& argc, char** argv, ViewerScene& scene, const ObjectShape& shape);

}  // namespace zorvel
