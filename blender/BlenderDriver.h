#pragma once

#include <functional>
#include <iosfwd>

#include "blender/BlenderConfig.h"
#include "blender/KeyframeFrames.h"
#include "common/ConsoleMenu.h"

namespace zorvel {

// The blender menu on `config`: A reads a configuration, B (listed only while a
// complete configuration is loaded) leaves the menus, X quits after confirmation. Why a
// reading failed goes to `err`.
MenuSystem blenderMenus(BlenderConfig& config, std::istream& in, std::ostream& err);

// The console lines printed once the frames are built: for each keyframe a rule and
// "keyframe: k".
void printKeyframeLines(std::ostream& out, std::size_t keyframeCount);

// Opens the window on the built frames; does not return in the real program.
using StartBlendView = std::function<void(const BlenderConfig& config, const BlendFrames& frames)>;

// The blender from its start-up lines to the hand-over: a first reading, the menu, the
// frames, "OpenGL..." and `startView`. Returns the exit status (0; 1 only when memory
// ran out).
int runBlender(BlenderConfig& config, std::istream& in, std::ostream& out, std::ostream& err,
               const StartBlendView& startView);

}  // namespace zorvel
