#include "viewer/ViewerControls.h"

#include <cctype>

namespace zorvel {

std::int32_t stepFrame(std::int32_t frame, std::int32_t direction, std::int32_t frameCount) {
  if (frameCount <= 0) return 0;
  frame += direction;
  if (frame >= frameCount) return 0;
  if (frame < 0) return frameCount - 1;
  return frame;
}

KeyEffect pressViewerKey(ViewState& view, unsigned char key, std::int32_t& currentFrame, std::int32_t frameCount) {
  KeyEffect effect = KeyEffect::None;
  if (pressSharedKey(view, key, effect)) return effect;
  const auto frameKey = [&](std::int32_t direction) {
    if (view.playing)
      view.playDirection = direction;
    else
      currentFrame = stepFrame(currentFrame, direction, frameCount);
  };
  switch (std::toupper(key)) {
    case 'A': view.antialias = !view.antialias; break;
    case ',':
    case '<': frameKey(-1); break;
    case '.':
    case '>': frameKey(1); break;
    default: break;
  }
  return effect;
}

}  // namespace zorvel
