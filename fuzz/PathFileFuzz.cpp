// Feeds arbitrary text to the viewer's frame cache: it must refuse or cache, never read
// or write outside its arrays, and never allocate more than the text can fill.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string_view>

#include "ParticleDataLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  zorvel::ViewerScene scene;
  std::ostringstream out;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (zorvel::cachePathText(text, scene, out)) {
    if (scene.frameCount <= 0 || scene.animation.frameCount() != scene.frameCount) std::abort();
    const zorvel::ParticleFrame& last = scene.animation.frame(scene.frameCount - 1);
    volatile float sink = last.count > 0 ? last.particles[last.count - 1].position.x : 0.0f;
    (void)sink;
  }
  return 0;
}
