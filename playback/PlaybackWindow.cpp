#include "playback/PlaybackWindow.h"

#include <GL/freeglut.h>

#include <chrono>
#include <memory>
#include <ostream>

#include "common/TickCounter.h"
#include "playback/MemoryReuse.h"

namespace zorvel {

namespace {

ViewState gView;
ViewState gLastDrawn;                 // the view state of the picture on screen
bool gWindowChanged = true;           // reshaped since the last picture
int gWidth = 1, gHeight = 1;          // the window's size
std::unique_ptr<Renderer> gRenderer;  // made once the window's context is there
// The renderer's freed memory is kept from one picture to the next, and handed back
// every few seconds: a session that once drew a heavy picture does not hold its memory
// for good, and the pictures between pay nothing for it.
constexpr std::uint32_t kMillisecondsBetweenReturns = 5000;
std::uint32_t gLastReturnTick = 0;

void onReshape(int width, int height) {
  gWindowChanged = true;
  gWidth = width;
  gHeight = height;
}

void onIdle() { glutPostRedisplay(); }

void onMouse(int button, int, int x, int y) { mouseButton(gView, button, x, y); }

void onMotion(int x, int y) { dragTo(gView, x, y); }

}  // namespace

ViewState& viewState() { return gView; }

Renderer& renderer() { return *gRenderer; }

void initView() {
  gRenderer = std::make_unique<Renderer>();
  gView = initialViewState(tickCount());
}

void runPlaybackWindow(int& argc, char** argv, const char* title, const WindowCallbacks& callbacks) {
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
  glutCreateWindow(title);
  glutDisplayFunc(callbacks.display);
  glutReshapeFunc(onReshape);
  glutIdleFunc(onIdle);
  glutMouseFunc(onMouse);
  glutMotionFunc(onMotion);
  glutKeyboardFunc(callbacks.keyboard);
  initView();
  glutFullScreen();
  glutMainLoop();
}

void beginFrame() {
  gRenderer->beginPicture(Camera(gView, projectionFor(gWidth, gHeight)), gView, gridBlendingAfter(gLastDrawn));
}

void endFrame() {
  glFlush();
  glutSwapBuffers();
  gLastDrawn = gView;
  gWindowChanged = false;
  if (ticksBetween(gLastReturnTick, tickCount()) >= kMillisecondsBetweenReturns) {
    returnKeptMemory();
    gLastReturnTick = tickCount();
  }
}

bool viewChangedSinceLastFrame() { return gWindowChanged || !drawsTheSame(gView, gLastDrawn); }

#ifndef ZORVEL_UNPACED_PLAYBACK
bool takePacedFrame(std::ostream& out) {
  const std::optional<std::uint32_t> rate = pacedFrameRate(gView, tickCount());
  if (!rate) return false;
  out << "framerate: " << *rate << std::endl;
  gView.lastFrameTick = tickCount();
  return true;
}
#else
// Benchmark builds only: every frame is due at once, and the rate printed is the one
// the drawing reaches, measured in microseconds.
bool takePacedFrame(std::ostream& out) {
  using Clock = std::chrono::steady_clock;
  static Clock::time_point last = Clock::now();
  const Clock::time_point now = Clock::now();
  const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(now - last).count();
  last = now;
  out << "framerate: " << (elapsed > 0 ? 1000000 / elapsed : 1000000) << std::endl;
  return true;
}
#endif

void finishView(std::ostream& out) {
  out << "openGL finished" << std::endl;
  // The event loop ends after this callback, closes the window and its context (the
  // software renderer's threads end with it), then ends the process with status 0. No
  // picture is drawn and no key is taken meanwhile.
  glutDisplayFunc([] {});
  glutIdleFunc(nullptr);
  glutKeyboardFunc(nullptr);
  glutLeaveMainLoop();
}

}  // namespace zorvel
