// Feeds arbitrary text to the blender's configuration reading, in a folder that holds
// real pictures of different sizes and kinds, and, when it accepts the text, builds
// the frames and steps through them: never a read past an array, never a loop without
// end.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string_view>
#include <vector>

#include "blender/BlendPlayback.h"
#include "blender/ConfigurationReading.h"
#include "blender/KeyframeFrames.h"
#include "fuzz/FuzzFiles.h"

namespace {

// A TGA file: type 2 (colour) or 3 (grey), `bits` per pixel, every pixel `value`.
void writePicture(const char* name, std::uint8_t type, std::uint16_t width, std::uint16_t height, std::uint8_t bits) {
  std::vector<std::uint8_t> file = {0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (const std::uint16_t v : {width, height}) {
    file.push_back(static_cast<std::uint8_t>(v & 0xFF));
    file.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  file.push_back(bits);
  file.push_back(bits == 32 ? 8 : 0);
  file.resize(file.size() + std::size_t{width} * height * bits / 8, 0x5A);
  zorvel::fuzz::writeFile(name, file.data(), file.size());
}

// The pictures the corpus names: colour 3 x 2 and 5 x 4, grey 2 x 2, 32-bit 1 x 1, 0 x 0.
bool pictures = [] {
  writePicture("a.tga", 2, 3, 2, 24);
  writePicture("b.tga", 2, 5, 4, 24);
  writePicture("g.tga", 3, 2, 2, 8);
  writePicture("r.tga", 2, 1, 1, 32);
  writePicture("e.tga", 2, 0, 0, 24);
  return chdir(zorvel::fuzz::scratchFolder().c_str()) == 0;
}();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!pictures) std::abort();
  zorvel::BlenderConfig config;
  std::ostringstream out;
  const zorvel::Result<void> applied = zorvel::applyConfigurationText(
      config, std::string_view(reinterpret_cast<const char*>(data), size), out, out, "fuzz", 1 << 26);
  if (static_cast<bool>(applied) != config.configLoaded) std::abort();
  if (!applied) return 0;
  if (config.keyframes.size() != config.keyframeCount || config.inbetweenCounts.size() != config.keyframeCount)
    std::abort();
  const zorvel::Result<zorvel::BlendFrames> frames = zorvel::buildFrames(config, 1 << 26);
  if (!frames) return 0;
  zorvel::BlendPlayback playback = zorvel::startOfBlend(frames->keyframes);
  for (int i = 0; i < 64; ++i) {
    if (playback.currentFrame < 0 || playback.currentFrame >= frames->store.frameCount) std::abort();
    zorvel::stepBlend(playback, frames->keyframes);
  }
  return 0;
}
