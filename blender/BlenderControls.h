#pragma once

#include "playback/ViewState.h"

namespace zorvel {

// The blender's keys: only those both views share (ESC, space, D, F, G, T); it has no
// antialiasing key and no frame keys.
inline KeyEffect pressBlenderKey(ViewState& view, unsigned char key) {
  KeyEffect effect = KeyEffect::None;
  pressSharedKey(view, key, effect);
  return effect;
}

}  // namespace zorvel
