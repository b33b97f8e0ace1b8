// Feeds arbitrary text to the viewer's path-file reading: the sizing pass and the
// chunked caching pass on a file (two threads, tiny chunks, so that seams and the
// split between threads are everywhere), against the caching of the same text in
// memory by one thread. Both must refuse or cache alike, never read or write outside
// their arrays, and never allocate more than the text can fill.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "fuzz/FuzzFiles.h"
#include "viewer/PathFileReader.h"

namespace {

struct Quiet : zorvel::PathCacheListener {
  void counts(std::uint32_t, std::int32_t) override {}
  void frameCached(std::int32_t, bool) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string path = zorvel::fuzz::writeFile("p.pPath", data, size);
  const zorvel::Result<std::uint32_t> pixels = zorvel::pathFilePixelCount(path);
  if (pixels && pixels.value() > size) std::abort();
  Quiet quiet;
  // Memory for a few frames of what the text may declare, so the refusal is reached too.
  const std::uint64_t memory = 1 << 20;
  const zorvel::Result<zorvel::ParticleAnimation> chunked = zorvel::cachePathFile(path, quiet, memory, {2, 16, 0});
  const zorvel::Result<zorvel::ParticleAnimation> whole = zorvel::cachePathText(text, quiet, memory, {1, 1 << 16, 0});
  if (static_cast<bool>(chunked) != static_cast<bool>(whole)) std::abort();
  if (!whole) return 0;
  if (whole->frameCount() <= 0 || whole->frameCount() != chunked->frameCount()) std::abort();
  const std::size_t floats = std::size_t{3} * whole->pixelCount() * static_cast<std::size_t>(whole->frameCount());
  if (floats > 0 &&
      std::memcmp(whole->frame(0).coordinates, chunked->frame(0).coordinates, floats * sizeof(float)) != 0)
    std::abort();
  return 0;
}
