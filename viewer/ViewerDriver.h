#pragma once

#include <functional>
#include <iosfwd>

#include "viewer/ObjectShape.h"
#include "viewer/ViewerScene.h"

namespace zorvel {

// Opens the view on a loaded scene; does not return in the real program.
using StartView = std::function<void(ViewerScene& scene, const ObjectShape& shape)>;

// The viewer from its first line to the hand-over: banner, menu, RTG object, attribute
// files, frame cache, then "OpenGL..." and `startView`. After a path-file failure: the
// menu once more and the farewell. Every console line of the viewer is printed here.
// Returns the exit status (0; 1 only when memory ran out).
int runViewer(ViewerScene& scene, std::istream& in, std::ostream& out, std::ostream& err, const StartView& startView);

}  // namespace zorvel
