#pragma once

// The recorder: loads an animation as the viewer or the blender does, draws every frame
// once, in order, into an offscreen OpenGL context with the windows' drawing, and hands
// the pictures to a frame sink, then the last one again for the hold. Messages go to
// standard error; standard output carries frames only when they are asked for there.

#include <string>
#include <vector>

namespace zorvel {

// The whole program on its arguments (without the program's name). Returns the exit
// status: 0 when the whole output was written, 1 when loading, drawing or writing
// failed, 2 on a bad command line.
int runRecorder(const std::vector<std::string>& arguments);

}  // namespace zorvel
