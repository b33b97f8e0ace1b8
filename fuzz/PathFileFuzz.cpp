// Feeds arbitrary text to the viewer's frame cache: it must refuse or cache, never read
// or write outside its arrays, and never allocate more than the text can fill.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "PathFileReader.h"

namespace {

struct Quiet : zorvel::PathCacheListener {
  void counts(std::uint32_t, std::int32_t) override {}
  void frameCached(std::int32_t, bool) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Quiet quiet;
  // Memory for at most a few frames of what the text declares, so that the refusal is
  // reached as well as the cache.
  const zorvel::Result<zorvel::ParticleAnimation> animation = zorvel::cachePathText(text, quiet, 1 << 20, 1);
  if (animation) {
    if (animation->frameCount() <= 0) std::abort();
    const zorvel::ParticleFrame last = animation->frame(animation->frameCount() - 1);
    volatile float sink = last.count > 0 ? last.position(last.count - 1).x : 0.0f;
    (void)sink;
  }
  return 0;
}
