#include "blender/BlenderView.h"

#include <iostream>
#include <memory>

#include "blender/BlendDrawing.h"
#include "blender/BlendPlayback.h"
#include "blender/BlenderControls.h"
#include "common/ProgramNames.h"
#include "playback/PlaybackWindow.h"

namespace zorvel {

namespace {

const BlendFrames* gFrames = nullptr;
std::unique_ptr<BlendDrawing> gDrawing;
BlendPlayback gPlayback;

void onBlendDisplay() {
  // While waiting for the next paced frame the current one is drawn again, so that the
  // camera follows the mouse between frames; a picture that would come out the same as
  // the one on screen is not drawn twice.
  const bool paced = viewState().playing && takePacedFrame(std::cout);
  if (viewState().playing && !paced && !viewChangedSinceLastFrame()) return;
  beginFrame();
  gDrawing->draw(renderer(), gPlayback, viewState());
  if (paced) stepBlend(gPlayback, gFrames->keyframes);
  endFrame();
}

void onBlendKeyboard(unsigned char key, int, int) {
  if (pressBlenderKey(viewState(), key) == KeyEffect::Quit) finishView(std::cout);
}

}  // namespace

void runBlenderWindow(int& argc, char** argv, const BlenderConfig& config, const BlendFrames& frames) {
  gFrames = &frames;
  gDrawing = std::make_unique<BlendDrawing>(config, frames);
  gPlayback = startOfBlend(frames.keyframes);
  // The blender's window carries the viewer's title.
  runPlaybackWindow(argc, argv, kViewerName, {onBlendDisplay, onBlendKeyboard});
}

}  // namespace zorvel
