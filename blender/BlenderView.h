#pragma once

#include "blender/BlenderConfig.h"
#include "blender/KeyframeFrames.h"

namespace zorvel {

// The blender's window: plays `frames` full screen, each pixel a box whose depth is its
// displacement, looping forward. Takes the program's arguments for GLUT; returns only
// if the event loop does.
void runBlenderWindow(int& argc, char** argv, const BlenderConfig& config, const BlendFrames& frames);

}  // namespace zorvel
