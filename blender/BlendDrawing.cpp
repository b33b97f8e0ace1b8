#include "blender/BlendDrawing.h"

namespace zorvel {

void BlendDrawing::draw(Renderer& renderer, const BlendPlayback& playback, const ViewState& view) {
  const FrameStore& store = frames_.store;
  if (store.frameCount <= 0) return;
  // The positions come from the current keyframe's picture, the first picture's where
  // it has none.
  const auto& records = config_.keyframes[static_cast<std::size_t>(playback.currentKeyframe)]->records;
  const auto& firstRecords = config_.keyframes[0]->records;
  boxes_.clear();
  for (std::uint32_t j = 0; j < store.pixelCount; ++j) {
    const std::size_t at = store.at(playback.currentFrame, j);
    boxes_.add(j < records.size()        ? records[j].position
               : j < firstRecords.size() ? firstRecords[j].position
                                         : Vector3{},
               {0.5f, 0.5f, store.frameDisplacement[at] * 0.5f},
               {static_cast<std::uint8_t>(store.frameRed[at]), static_cast<std::uint8_t>(store.frameGreen[at]),
                static_cast<std::uint8_t>(store.frameBlue[at]), static_cast<std::uint8_t>(store.frameAlpha[at])});
  }
  renderer.drawBoxes(boxes_, view);
}

}  // namespace zorvel
