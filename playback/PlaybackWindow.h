#pragma once

// The GLUT window shell that the viewer and the blender share: a full-screen,
// double-buffered window with a depth buffer, the camera and mouse, the frame-rate gate
// and the frame's beginning and end. Each program supplies its title and its own display
// and keyboard callbacks, and draws through the window's Renderer. All state lives in one
// process-wide ViewState, as GLUT's callbacks need it.

#include <cstdint>
#include <iosfwd>

#include "playback/Renderer.h"
#include "playback/ViewState.h"

namespace zorvel {

struct WindowCallbacks {
  void (*display)();
  void (*keyboard)(unsigned char key, int x, int y);
};

// The view state the callbacks share.
ViewState& viewState();

// The window's renderer, once the window is open.
Renderer& renderer();

// Initialises GLUT with the program's arguments, opens the window titled `title`,
// registers `callbacks` with the shared reshape, idle, mouse and motion callbacks,
// initialises the view, goes full screen and runs the event loop, which returns only
// with a GLUT that can return from it.
void runPlaybackWindow(int& argc, char** argv, const char* title, const WindowCallbacks& callbacks);

// The window's renderer made (clear colour black, depth testing on), every ViewState
// field to its start value.
void initView();

// Starts a picture of the current view, with the camera of the view and the window's
// size (see Renderer::beginPicture), its grid blended as the picture on screen was.
void beginFrame();
// Flushes and swaps the buffers.
void endFrame();

// While playing: when a paced frame is due prints "framerate: " and the rate on `out`,
// moves lastFrameTick on and returns true; otherwise returns false and prints nothing.
bool takePacedFrame(std::ostream& out);

// True when a picture drawn now would differ from the one on screen: the view state
// changed, or the window did, since the last endFrame().
bool viewChangedSinceLastFrame();

// Prints "openGL finished" on `out` and ends the event loop: the window and its context
// are closed, then the process ends with status 0. Called from a GLUT callback.
void finishView(std::ostream& out);

}  // namespace zorvel
