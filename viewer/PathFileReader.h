#pragma once

// Reading the cruncher's path file: the pixel and frame counts, then each frame's number
// and its pixels' positions, numbers read as formatted stream extraction reads them. The
// viewer caches every frame (the file mapped into memory, whole frames handed to two
// threads); the recorder reads one frame at a time in constant memory. Both go through
// the same header checks and the same frame reading. No count the file cannot hold
// drives an allocation: a frame needs at least two bytes a number (a digit and a
// separator). Nothing here prints: a listener hears the caching pass, and failures come
// back with their reason.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

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

// The frames of a path file that play, once `complete` of its `declared` frames were
// read whole: all of them, or the complete ones with the listener told of the first
// that is not; a failure (CutShort) when there is none.
Result<std::int32_t> framesToPlay(std::int32_t complete, std::int32_t declared, PathCacheListener& listener);

// How the caching pass reads; the cache does not depend on it.
struct PathReading {
  unsigned threads = 0;                        // at most this many (0: one per processor, at most two)
  std::uint64_t leastBytesToSplit = 8u << 20;  // more threads than one only for more than this
  std::uint64_t pieceBytes = 8u << 20;         // the frames are handed out in pieces of about this size
};

// Whole frames `first` .. `last` - 1 of a path file's body, from `offset` on: one
// thread's piece of the caching pass.
struct PathPiece {
  std::uint64_t offset = 0;
  std::int32_t first = 0;
  std::int32_t last = 0;
};

// The body of a path file's `text` (from `bodyStart`, frame 0's line) cut into about
// `count` pieces of `frames` frames: each further piece starts at the first line, past
// its share of the bytes, that holds one whole number above the piece before's first
// frame and below `frames`, taken for that frame's line (the reading of the piece before
// checks that it ends there). The last piece ends at `frames`.
std::vector<PathPiece> planPathPieces(std::string_view text, std::uint64_t bodyStart, std::int32_t frames,
                                      std::size_t count);

// The caching pass: the counts, then every frame's positions. Fails, with the reason
// in words (a phrase that the file's name or "pPath-file" begins), when no file is
// named (Undefined), it cannot be opened (CannotOpen), has no readable counts or no
// frames (WrongFormat), cannot hold one frame of its pixels (CutShort), ends inside
// frame 0 (CutShort) or needs more than `memoryBytes` of memory (TooLarge). A file that
// ends inside a later frame, or holds something that is no number there, gives the
// frames before it.
Result<ParticleAnimation> cachePathFile(const std::string& fileName, PathCacheListener& listener,
                                        std::uint64_t memoryBytes, const PathReading& reading = {});
// The same on a path file's text held in memory.
Result<ParticleAnimation> cachePathText(std::string_view text, PathCacheListener& listener, std::uint64_t memoryBytes,
                                        const PathReading& reading = {});

// A path file read one frame after the other, from the first, with a buffer of a fixed
// size: what it holds does not grow with the file. Owns the open file; movable.
class PathFrameStream {
 public:
  // Opens the file and reads its counts; fails as the caching pass does for a file that
  // is not named, cannot be opened, has no readable counts or frames, or cannot hold one
  // frame. The file is read `chunkBytes` at a time.
  static Result<PathFrameStream> open(const std::string& fileName, std::size_t chunkBytes = std::size_t{1} << 20);
  PathFrameStream(PathFrameStream&&) noexcept;
  PathFrameStream& operator=(PathFrameStream&&) noexcept;
  ~PathFrameStream();

  std::uint32_t pixelCount() const;
  // The frame count the file's header declares.
  std::int32_t frameCount() const;

  // Reads the next frame's positions into `coordinates` (pixelCount() x 3 floats: x, y,
  // z a pixel). Fails (CutShort) at a frame the file ends inside or that holds something
  // that is no number, and after the declared frames.
  Result<void> readFrame(float* coordinates);

 private:
  struct State;
  explicit PathFrameStream(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace zorvel
