// Feeds arbitrary text to the blender's configuration reading and, when it accepts the
// text, builds the frames: never a read past an array, never a loop without end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string_view>

#include "BlendPlayback.h"
#include "ConfigurationReading.h"
#include "KeyframeFrames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zorvel::BlenderConfig config;
  std::ostringstream out;
  zorvel::applyConfigurationText(config, std::string_view(reinterpret_cast<const char*>(data), size), out);
  if (!config.configLoaded) return 0;
  if (config.keyframes.size() != config.keyframeCount || config.inbetweenCounts.size() != config.keyframeCount)
    std::abort();
  // Images that name no file read as 0 x 0, so the frames stay small.
  const zorvel::Result<zorvel::BlendFrames> frames = zorvel::buildFrames(config, 1 << 26);
  if (!frames) return 0;
  zorvel::BlendPlayback playback = zorvel::startOfBlend(frames->keyframes);
  for (int i = 0; i < 64; ++i) {
    if (playback.currentFrame < 0 || playback.currentFrame >= frames->store.frameCount) std::abort();
    zorvel::stepBlend(playback, frames->keyframes);
  }
  return 0;
}
