#include "BlenderView.h"

#include <iostream>

#include "BlendPlayback.h"
#include "PlaybackWindow.h"

namespace zorvel {

namespace {

const BlenderConfig* gConfig = nullptr;
const BlendFrames* gFrames = nullptr;
BlendPlayback gPlayback;
BoxBatch gBoxes;

// Every pixel of the current frame as a unit square extruded by its displacement, at
// its place in the current keyframe's image (the first image's where it has none).
void drawCurrentFrame() {
  const FrameStore& store = gFrames->store;
  if (store.frameCount <= 0) return;
  const auto& records = gConfig->keyframes[static_cast<std::size_t>(gPlayback.currentKeyframe)].records;
  const auto& firstRecords = gConfig->keyframes[0].records;
  gBoxes.clear();
  for (std::uint32_t j = 0; j < store.pixelCount; ++j) {
    const std::size_t at = store.at(gPlayback.currentFrame, j);
    gBoxes.centres.push_back(j < records.size()        ? records[j].position
                             : j < firstRecords.size() ? firstRecords[j].position
                                                       : Vector3{});
    gBoxes.halfExtents.push_back({0.5f, 0.5f, store.frameDisplacement[at] * 0.5f});
    gBoxes.colours.push_back({static_cast<std::uint8_t>(store.frameRed[at]), static_cast<std::uint8_t>(store.frameGreen[at]),
                              static_cast<std::uint8_t>(store.frameBlue[at]), static_cast<std::uint8_t>(store.frameAlpha[at])});
  }
  drawBoxes(gBoxes, viewState());
}

void onBlendDisplay() {
  // While waiting for the next paced frame the current one is drawn again, so that the
  // camera follows the mouse between frames; a picture that would come out the same as
  // the one on screen is not drawn twice.
  const bool paced = viewState().playing && takePacedFrame(std::cout);
  if (viewState().playing && !paced && !viewChangedSinceLastFrame()) return;
  beginFrame();
  drawCurrentFrame();
  if (paced) stepBlend(gPlayback, gFrames->keyframes);
  endFrame();
}

void onBlendKeyboard(unsigned char key, int, int) {
  if (pressBlenderKey(viewState(), key) == KeyEffect::Quit) finishView(std::cout);
}

}  // namespace

void runBlendView(int& argc, char** argv, const BlenderConfig& config, const BlendFrames& frames) {
  gConfig = &config;
  gFrames = &frames;
  gPlayback = startOfBlend(frames.keyframes);
  runPlaybackWindow(argc, argv, {onBlendDisplay, onBlendKeyboard});
}

}  // namespace zorvel
