#include "viewer/ViewerView.h"

#include <cstdlib>
#include <iostream>
#include <memory>

#include "common/ProgramNames.h"
#include "playback/PlaybackWindow.h"
#include "viewer/ViewerControls.h"
#include "viewer/ViewerDrawing.h"

namespace zorvel {

namespace {

ViewerScene* gScene = nullptr;
std::unique_ptr<ViewerDrawing> gDrawing;

void onDisplay() {
  ViewState& view = viewState();
  // While playing, nothing at all happens until the next paced frame is due.
  if (view.playing && !takePacedFrame(std::cout)) return;
  beginFrame();
  gDrawing->draw(renderer(), gScene->currentFrame, view);
  if (view.playing) gScene->currentFrame = stepFrame(gScene->currentFrame, view.playDirection, gScene->frameCount);
  endFrame();
}

void onKeyboard(unsigned char key, int, int) {
  if (pressViewerKey(viewState(), key, gScene->currentFrame, gScene->frameCount) == KeyEffect::Quit)
    finishView(std::cout);
}

}  // namespace

void runViewerWindow(int& argc, char** argv, ViewerScene& scene, const ObjectShape& shape) {
  gScene = &scene;
  gDrawing = std::make_unique<ViewerDrawing>(scene, shape);
  runPlaybackWindow(argc, argv, kViewerName, {onDisplay, onKeyboard});
  std::exit(0);
}

}  // namespace zorvel
