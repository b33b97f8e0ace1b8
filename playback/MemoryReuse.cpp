#include "playback/MemoryReuse.h"

#include <cstddef>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace zorvel {

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
// Above the working memory of a picture at 1920 x 1080 with every box on screen.
constexpr std::size_t kKeptFreeBytes = 256 * kMiB;
// The C library's own upper bound for blocks served from a heap rather than mapped.
constexpr std::size_t kLargestHeapBlock = 32 * kMiB;

}  // namespace

void keepFreedMemoryForReuse() {
#if defined(__GLIBC__)
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(kKeptFreeBytes));
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(kLargestHeapBlock));
#endif
}

void returnKeptMemory() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

}  // namespace zorvel
