#pragma once

#include <functional>
#include <iosfwd>

#include "ObjectShape.h"
#include "RtgObject.h"
#include "ViewerScene.h"

namespace zorvel {

// Opens the view on a loaded scene; does not return in the real program.
using StartView = std::function<void(ViewerScene& scene, const ObjectShape& shape)>;

// The viewer from its banner to the hand-over: menu, RTG object, attribute files, frame
// cache, then "OpenGL..." and `startView`. After a path-file failure: the menu once
// more and the farewell. Returns the exit status (0).
int runViewer(RtgObject& rtg, ViewerScene& scene, std::istream& in, std::ostream& out, std::ostream& err,
              const StartView& startView);

}  // namespace zorvel
