#include "viewer/PathFileReader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "common/MemoryBudget.h"
#include "common/TextScanner.h"
#include "common/WholeFile.h"

namespace zorvel {

namespace {

// Where the bytes come from: a file read at offsets, or text in memory.
class ByteSource {
 public:
  explicit ByteSource(std::string_view text) : text_(text), size_(text.size()) {}
  explicit ByteSource(std::FILE* file) : fd_(fileno(file)) {
    struct stat info {};
    if (fstat(fd_, &info) == 0 && info.st_size > 0) size_ = static_cast<std::uint64_t>(info.st_size);
  }

  std::uint64_t size() const { return size_; }

  // Up to `n` bytes at `offset` into `to`; fewer only at the end (or a read error).
  std::size_t read(char* to, std::size_t n, std::uint64_t offset) const {
    if (offset >= size_) return 0;
    n = static_cast<std::size_t>(std::min<std::uint64_t>(n, size_ - offset));
    if (fd_ < 0) {
      std::memcpy(to, text_.data() + offset, n);
      return n;
    }
    std::size_t got = 0;
    while (got < n) {
      const ssize_t r = ::pread(fd_, to + got, n - got, static_cast<off_t>(offset + got));
      if (r <= 0) break;
      got += static_cast<std::size_t>(r);
    }
    return got;
  }

 private:
  std::string_view text_;
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

// Numbers read from a source from a given offset on, a chunk at a time. Each piece
// handed to the scanner ends at white space, so no number is cut; the unfinished word
// at a chunk's end moves to the front of the next.
class NumberReader {
 public:
  NumberReader(const ByteSource& source, std::uint64_t begin, std::size_t chunkBytes)
      : source_(source), buffer_(std::max<std::size_t>(chunkBytes, 1)), next_(begin), scan_(std::string_view()) {}

  template <class T>
  bool next(T& value) {
    for (;;) {
      if (read(value)) return true;
      if (!scan_.atEnd() || !refill()) return false;
    }
  }

  // The offset just past the last thing read.
  std::uint64_t offset() const { return bufferStart_ + scan_.position(); }

  // Whether only white space lies between offset() and `to` (a few bytes at most).
  bool onlySpaceUntil(std::uint64_t to) const {
    const std::uint64_t from = offset();
    if (to < from || to - from > 4096) return false;
    char gap[4096];
    const std::size_t length = static_cast<std::size_t>(to - from);
    if (source_.read(gap, length, from) != length) return false;
    return std::all_of(gap, gap + length, [](char c) { return isWhiteSpace(c); });
  }

 private:
  bool read(float& value) { return scan_.number(value); }
  template <class Integer>
  bool read(Integer& value) {
    return scan_.integer(value);
  }

  bool refill() {
    if (atEnd_) return false;
    // Keep the unfinished word after the piece just scanned.
    std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(pieceEnd_),
              buffer_.begin() + static_cast<std::ptrdiff_t>(filled_), buffer_.begin());
    bufferStart_ += pieceEnd_;
    filled_ -= pieceEnd_;
    if (filled_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);  // a word longer than a chunk
    const std::size_t got = source_.read(buffer_.data() + filled_, buffer_.size() - filled_, next_);
    next_ += got;
    filled_ += got;
    atEnd_ = got == 0;
    pieceEnd_ = filled_;
    if (!atEnd_)
      while (pieceEnd_ > 0 && !isWhiteSpace(buffer_[pieceEnd_ - 1])) --pieceEnd_;
    if (pieceEnd_ == 0 && !atEnd_) return refill();
    scan_ = TextScanner(std::string_view(buffer_.data(), pieceEnd_));
    return pieceEnd_ > 0;
  }

  const ByteSource& source_;
  std::vector<char> buffer_;
  std::uint64_t bufferStart_ = 0;  // the source offset of buffer_[0]
  std::uint64_t next_;             // the source offset of the next byte to read
  std::size_t filled_ = 0;
  std::size_t pieceEnd_ = 0;
  bool atEnd_ = false;
  TextScanner scan_;
};

// Reads frames `first` .. `last` - 1 (each a frame number and the pixels' positions)
// into the animation; returns how many were complete. Calls `done(frame)` after each.
template <class Done>
std::int32_t readFrames(NumberReader& numbers, ParticleAnimation& animation, std::int32_t first, std::int32_t last,
                        Done done) {
  const std::uint32_t pixels = animation.pixelCount();
  for (std::int32_t f = first; f < last; ++f) {
    std::int32_t number;
    if (!numbers.next(number)) return f - first;
    float* c = animation.frame(f).coordinates;
    for (std::uint32_t j = 0; j < pixels; ++j, c += 3)
      if (!numbers.next(c[0]) || !numbers.next(c[1]) || !numbers.next(c[2])) return f - first;
    done(f);
  }
  return last - first;
}

// Where a second thread may start: the line of frame k's number, found from the middle
// of the body on (a line holding one whole number). The first thread checks that it
// ends there before the second thread's frames are used.
struct Split {
  std::uint64_t offset = 0;
  std::int32_t frame = 0;
};

std::optional<Split> findSplit(const ByteSource& source, std::uint64_t bodyStart, std::int32_t frames) {
  const std::uint64_t middle = bodyStart + (source.size() - bodyStart) / 2;
  const std::size_t size = static_cast<std::size_t>(std::min<std::uint64_t>(1 << 20, source.size() - middle));
  std::unique_ptr<char[]> window(new char[size]);
  const std::size_t got = source.read(window.get(), size, middle);
  std::size_t line = 0;
  while (line < got && window[line] != '\n') ++line;
  // Each line from here: a frame number is a line of digits alone.
  for (++line; line < got;) {
    std::size_t end = line;
    while (end < got && window[end] != '\n') ++end;
    if (end == got) break;
    std::int32_t frame = 0;
    TextScanner scan(std::string_view(window.get() + line, end - line));
    if (scan.integer(frame) && scan.atEnd() && frame > 0 && frame < frames) return Split{middle + line, frame};
    line = end + 1;
  }
  return std::nullopt;
}

Result<ParticleAnimation> cache(const ByteSource& source, PathCacheListener& listener, std::uint64_t memoryBytes,
                                const PathReading& reading) {
  NumberReader numbers(source, 0, reading.chunkBytes);
  std::uint32_t pixels = 0;
  std::int32_t frames = 0;
  if (!numbers.next(pixels) || !numbers.next(frames))
    return failure(FailureKind::WrongFormat, "has no readable pixel and frame counts");
  if (frames <= 0)
    return failure(FailureKind::WrongFormat, "holds no frames (frame count " + std::to_string(frames) + ")");
  // Each number takes at least two bytes (a digit and a separator; the last one may end
  // the file): no frame beyond that is cached, or allocated for.
  const std::uint64_t bodyStart = numbers.offset();
  const std::uint64_t numbersPerFrame = 1 + std::uint64_t{pixels} * 3;
  const std::uint64_t fits = (source.size() - bodyStart + 1) / 2 / numbersPerFrame;
  if (fits == 0)
    return failure(FailureKind::CutShort,
                   "is too short for " + std::to_string(pixels) + " pixels in " + std::to_string(frames) + " frames");
  const std::int32_t room =
      static_cast<std::int32_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(frames), fits));
  const std::uint64_t bytes = ParticleAnimation::bytesFor(room, pixels);
  const auto tooLarge = [&] {
    return failure(FailureKind::TooLarge, "needs " + megabytesNeeded(bytes) + " of memory for its frames, but " +
                                              megabytesAvailable(memoryBytes) + " are available");
  };
  if (bytes > memoryBytes) return tooLarge();
  ParticleAnimation animation = ParticleAnimation::allocate(room, pixels);
  if (animation.frameCount() != room) return tooLarge();
  listener.counts(pixels, frames);

  const auto report = [&](std::int32_t f) { listener.frameCached(f, true); };
  std::int32_t complete = 0;
  const unsigned threads =
      reading.threads ? reading.threads : std::min(2u, std::max(1u, std::thread::hardware_concurrency()));
  const std::optional<Split> split = threads > 1 && source.size() - bodyStart > reading.leastBytesToSplit && room > 1
                                         ? findSplit(source, bodyStart, room)
                                         : std::nullopt;
  if (split) {
    // The second half on a thread of its own; the first half here, reporting as it goes.
    std::int32_t secondComplete = 0;
    std::thread second([&] {
      NumberReader from(source, split->offset, reading.chunkBytes);
      secondComplete = readFrames(from, animation, split->frame, room, [](std::int32_t) {});
    });
    complete = readFrames(numbers, animation, 0, split->frame, report);
    second.join();
    if (complete == split->frame && numbers.onlySpaceUntil(split->offset)) {
      for (std::int32_t f = split->frame; f < split->frame + secondComplete; ++f) report(f);
      complete += secondComplete;
    } else if (complete == split->frame) {
      complete += readFrames(numbers, animation, complete, room, report);  // no frame boundary there after all
    }
  } else {
    complete = readFrames(numbers, animation, 0, room, report);
  }

  if (complete < frames) listener.frameCached(complete, false);
  if (complete == 0) return failure(FailureKind::CutShort, "ends inside frame 0: there is no complete frame to play");
  animation.keepFrames(complete);
  return animation;
}

}  // namespace

Result<std::uint32_t> pathFilePixelCount(const std::string& fileName) {
  // The count stands at the start: a few bytes are enough.
  const Result<std::string> start = readFileStart(fileName, 64);
  if (!start) return start.failure();
  std::error_code error;
  const std::uintmax_t bytes = std::filesystem::file_size(fileName, error);
  std::uint32_t count = 0;
  if (error || !TextScanner(start.value()).integer(count))
    return failure(FailureKind::WrongFormat, "has no readable pixel count");
  // Three numbers of at least two bytes a pixel.
  if (count > bytes / 6) return failure(FailureKind::CutShort, "is too short for " + std::to_string(count) + " pixels");
  return count;
}

Result<ParticleAnimation> cachePathFile(const std::string& fileName, PathCacheListener& listener,
                                        std::uint64_t memoryBytes, const PathReading& reading) {
  if (fileName.empty()) return failure(FailureKind::Undefined, "undefined");
  const Result<FileHandle> file = openReadable(fileName);
  if (!file) return file.failure();
  return cache(ByteSource(file.value().get()), listener, memoryBytes, reading);
}

Result<ParticleAnimation> cachePathText(std::string_view text, PathCacheListener& listener, std::uint64_t memoryBytes,
                                        const PathReading& reading) {
  return cache(ByteSource(text), listener, memoryBytes, reading);
}

}  // namespace zorvel
