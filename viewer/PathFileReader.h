#pragma once

// Reading the cruncher's path file into the viewer's frame cache. The file is read a
// chunk at a time (a path file can be hundreds of megabytes), numbers are read as
// formatted stream extraction reads them, and no count the file cannot hold drives an
// allocation: the cache is sized from the header and from what the file's bytes can
// hold (each number takes at least one digit and one separator), and checked against
// the memory the caller has, before anything is allocated for it. Nothing here prints:
// a listener hears the counts and each frame as it is cached, and failures come back
// with their reason.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/Result.h"
#include "viewer/ViewerScene.h"

namespace zorvel {

// The path file's pixel count, for sizing the per-pixel arrays before the attribute
// files are read; a failure when the file cannot be read, has no count, or cannot hold
// that many pixels.
Result<std::uint32_t> pathFilePixelCount(const std::string& fileName);

// Hears the caching pass as it goes, on the thread that called it.
class PathCacheListener {
 public:
  virtual ~PathCacheListener() = default;
  // The counts of a file that will be cached.
  virtual void counts(std::uint32_t pixels, std::int32_t frames) = 0;
  // Each frame in order: complete, or the first incomplete one, which ends the pass.
  virtual void frameCached(std::int32_t frame, bool complete) = 0;
};

// How the caching pass reads; the cache does not depend on it.
struct PathReading {
  unsigned threads = 0;                           // at most this many (0: one per processor, at most two)
  std::size_t chunkBytes = std::size_t{1} << 22;  // read a chunk at a time
  std::uint64_t leastBytesToSplit = 8u << 20;     // a second thread only for more than this
};

// The caching pass: the counts, then every frame's positions. Fails, with the reason
// in words (a phrase that the file's name or "pPath-file" begins), when no file is
// named (Undefined), it cannot be opened (CannotOpen), has no readable counts or no
// frames (WrongFormat), cannot hold one frame of its pixels (CutShort), ends inside
// frame 0 (CutShort) or needs more than `memoryBytes` of memory (TooLarge). A file that
// ends inside a later frame gives its complete frames.
Result<ParticleAnimation> cachePathFile(const std::string& fileName, PathCacheListener& listener,
                                        std::uint64_t memoryBytes, const PathReading& reading = {});
// The same on a path file's text held in memory.
Result<ParticleAnimation> cachePathText(std::string_view text, PathCacheListener& listener, std::uint64_t memoryBytes,
                                        const PathReading& reading = {});

}  // namespace zorvel
