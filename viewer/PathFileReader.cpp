#include "viewer/PathFileReader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

#include "common/MemoryBudget.h"
#include "common/TextGrammar.h"
#include "common/TextScanner.h"
#include "common/WholeFile.h"

namespace zorvel {

namespace {

// Where the bytes come from: text in memory (a mapped file or a string), or a file
// read at offsets.
class ByteSource {
 public:
  explicit ByteSource(std::string_view text) : text_(text), size_(text.size()) {}
  explicit ByteSource(std::FILE* file) : fd_(fileno(file)) {
    struct stat info {};
    if (fstat(fd_, &info) == 0 && info.st_size > 0) size_ = static_cast<std::uint64_t>(info.st_size);
  }

  std::uint64_t size() const { return size_; }
  bool inMemory() const { return fd_ < 0; }
  std::string_view text() const { return text_; }

  // Up to `n` bytes at `offset` into `to`; fewer only at the end (or a read error).
  std::size_t read(char* to, std::size_t n, std::uint64_t offset) const {
    if (offset >= size_) return 0;
    n = static_cast<std::size_t>(std::min<std::uint64_t>(n, size_ - offset));
    if (inMemory()) {
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

// Numbers read from a source from a given offset on. Text in memory is scanned where it
// lies; a file is read `chunkBytes` at a time, each piece handed to the scanner ending
// at white space, so that no number is cut: the unfinished word at a chunk's end moves
// to the front of the next.
class NumberReader {
 public:
  NumberReader(const ByteSource& source, std::uint64_t begin, std::size_t chunkBytes)
      : source_(source), next_(begin), scan_(std::string_view()) {
    if (source.inMemory()) {
      bufferStart_ = begin;
      scan_ =
          TextScanner(source.text().substr(static_cast<std::size_t>(std::min<std::uint64_t>(begin, source.size()))));
      atEnd_ = true;
    } else {
      buffer_.resize(std::max<std::size_t>(chunkBytes, 1));
    }
  }

  template <class T>
  bool next(T& value) {
    for (;;) {
      if (read(value)) return true;
      if (!scan_.atEnd() || !refill()) return false;
    }
  }

  // The offset just past the last thing read.
  std::uint64_t offset() const { return bufferStart_ + scan_.position(); }

  // The scanner over the whole text, for a source in memory; null for a file.
  TextScanner* wholeText() { return source_.inMemory() ? &scan_ : nullptr; }

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
  std::uint64_t bufferStart_ = 0;  // the source offset of what the scanner scans
  std::uint64_t next_;             // the source offset of the next byte to read
  std::size_t filled_ = 0;
  std::size_t pieceEnd_ = 0;
  bool atEnd_ = false;
  TextScanner scan_;
};

// The grammar of a frame: its number (which readers ignore), then `count` coordinates,
// coordinate i read by `coordinate(i)`. False when the frame is cut short or holds
// something that is no number. Both readers go through it, each with its own way of
// reading a coordinate.
template <class Coordinate>
bool readFrameWith(NumberReader& numbers, std::size_t count, Coordinate coordinate) {
  std::int32_t number;
  if (!numbers.next(number)) return false;
  for (std::size_t i = 0; i < count; ++i)
    if (!coordinate(i)) return false;
  return true;
}

// One frame's `pixels` positions into `coordinates`, each number read in turn.
bool readFrame(NumberReader& numbers, std::uint32_t pixels, float* coordinates) {
  return readFrameWith(numbers, std::size_t{pixels} * 3, [&](std::size_t i) { return numbers.next(coordinates[i]); });
}

// The text each coordinate was read from in the frame before, so that a coordinate
// written again unchanged (most are: a particle moves along one axis a frame, and none
// once home) is taken from the frame before instead of being read again. A number is
// decided by its bytes up to and including the first one after it, so the same bytes
// give the same number: up to eight bytes are compared at once.
class RepeatedNumbers {
 public:
  explicit RepeatedNumbers(std::size_t count) : words_(count), lengths_(count) {}

  // Reads coordinate `i` from `scan`, taking it from `before` (the frame before's
  // coordinates) where its text repeats. False where no number stands.
  bool read(TextScanner& scan, std::size_t i, const float* before, float& value) {
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    const std::string_view text = scan.upcoming();
    if (text.size() >= sizeof(std::uint64_t)) {
      std::uint64_t word;
      std::memcpy(&word, text.data(), sizeof word);
      const unsigned compared = lengths_[i];
      if (compared != 0 && ((word ^ words_[i]) & maskOf(compared)) == 0) {
        value = before[i];
        scan.move(compared - 1);
        return true;
      }
      const std::size_t start = scan.position();
      if (!scan.number(value)) return false;
      const std::size_t length = scan.position() - start;
      lengths_[i] = static_cast<std::uint8_t>(length < sizeof word ? length + 1 : 0);
      words_[i] = word;
      return true;
    }
    lengths_[i] = 0;
#endif
    return scan.number(value);
  }

  // Forgets every text: the next frame is read whole.
  void forget() { std::fill(lengths_.begin(), lengths_.end(), std::uint8_t{0}); }

 private:
  static std::uint64_t maskOf(unsigned bytes) {
    return bytes >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * bytes)) - 1;
  }

  std::vector<std::uint64_t> words_;
  std::vector<std::uint8_t> lengths_;  // the bytes compared: the number's and the one after it; 0 for none
};

// The counts at a path file's start, and how many frames the file's bytes can hold.
struct PathHeader {
  std::uint32_t pixels = 0;
  std::int32_t frames = 0;
  std::int32_t room = 0;  // at most `frames`
  std::uint64_t bodyStart = 0;
};

Result<PathHeader> readHeader(NumberReader& numbers, std::uint64_t size) {
  PathHeader header;
  if (!numbers.next(header.pixels) || !numbers.next(header.frames))
    return failure(FailureKind::WrongFormat, "has no readable pixel and frame counts");
  if (header.frames <= 0)
    return failure(FailureKind::WrongFormat, "holds no frames (frame count " + std::to_string(header.frames) + ")");
  // Each number takes at least two bytes (a digit and a separator; the last one may end
  // the file): no frame beyond that is read, or allocated for.
  header.bodyStart = numbers.offset();
  const std::uint64_t numbersPerFrame = 1 + std::uint64_t{header.pixels} * 3;
  const std::uint64_t fits = (size - header.bodyStart + 1) / 2 / numbersPerFrame;
  if (fits == 0)
    return failure(FailureKind::CutShort, "is too short for " + std::to_string(header.pixels) + " pixels in " +
                                              std::to_string(header.frames) + " frames");
  header.room = static_cast<std::int32_t>(std::min<std::uint64_t>(static_cast<std::uint64_t>(header.frames), fits));
  return header;
}

// Reads frames `first` .. `last` - 1 of text in memory into the animation, each
// coordinate whose text repeats taken from the frame before; returns how many were
// complete. Calls `done(frame)` after each.
template <class Done>
std::int32_t readFrames(NumberReader& numbers, ParticleAnimation& animation, std::int32_t first, std::int32_t last,
                        Done done) {
  TextScanner& scan = *numbers.wholeText();
  const std::size_t count = std::size_t{animation.pixelCount()} * 3;
  RepeatedNumbers repeated(count);
  for (std::int32_t f = first; f < last; ++f) {
    float* coordinates = animation.frame(f).coordinates;
    const float* before = f > first ? animation.frame(f - 1).coordinates : nullptr;
    if (!readFrameWith(numbers, count, [&](std::size_t i) { return repeated.read(scan, i, before, coordinates[i]); }))
      return f - first;
    done(f);
  }
  return last - first;
}

// A piece of the body for one thread at a time, and what reading it gave.
struct Piece : PathPiece {
  Piece() = default;
  explicit Piece(const PathPiece& planned) : PathPiece(planned) {}
  std::int32_t complete = 0;         // frames read whole
  std::uint64_t endOffset = 0;       // where the reading stopped
  bool endsWhereNextBegins = false;  // every frame read, and only white space up to the next piece
};

// The first line from `from` on (within a megabyte) that holds one whole number above
// `after` and below `frames`, taken for the line of that frame's number. The reading of
// the piece before checks that it ends there.
std::optional<PathPiece> frameLineFrom(std::string_view text, std::uint64_t from, std::int32_t after,
                                       std::int32_t frames) {
  const std::size_t end = static_cast<std::size_t>(std::min<std::uint64_t>(text.size(), from + (1 << 20)));
  std::size_t line = static_cast<std::size_t>(from);
  while (line < end && text[line] != '\n') ++line;
  for (++line; line < end;) {
    std::size_t lineEnd = line;
    while (lineEnd < end && text[lineEnd] != '\n') ++lineEnd;
    if (lineEnd == end) break;
    std::int32_t frame = 0;
    TextScanner scan(text.substr(line, lineEnd - line));
    if (scan.integer(frame) && scan.atEnd() && frame > after && frame < frames) return PathPiece{line, frame, 0};
    line = lineEnd + 1;
  }
  return std::nullopt;
}

// Reads every frame of the body into `animation`. A large body is cut into pieces of
// whole frames, which the threads take one after the other as they finish the last;
// the frames are reported in order as the pieces before them are done. A piece is used
// only where the one before ends where it begins; where not, the reading goes on from
// the end of the one before. Returns how many frames were complete.
std::int32_t readBody(const ByteSource& source, ParticleAnimation& animation, const PathHeader& header,
                      PathCacheListener& listener, const PathReading& reading) {
  const std::int32_t room = animation.frameCount();
  const unsigned threads =
      reading.threads ? reading.threads : std::min(2u, std::max(1u, std::thread::hardware_concurrency()));
  const std::uint64_t bodyBytes = source.size() - header.bodyStart;
  const std::size_t wanted = threads > 1 && bodyBytes > reading.leastBytesToSplit
                                 ? static_cast<std::size_t>(std::clamp<std::uint64_t>(
                                       bodyBytes / std::max<std::uint64_t>(reading.pieceBytes, 1), 2, 64))
                                 : 1;
  std::vector<Piece> pieces;
  for (const PathPiece& planned : planPathPieces(source.text(), header.bodyStart, room, wanted))
    pieces.emplace_back(planned);

  std::atomic<std::size_t> nextPiece{0};
  const std::unique_ptr<std::atomic<bool>[]> finished(new std::atomic<bool>[pieces.size()]());
  const auto readPiece = [&](std::size_t i) {
    Piece& piece = pieces[i];
    NumberReader numbers(source, piece.offset, 0);
    piece.complete = readFrames(numbers, animation, piece.first, piece.last, [](std::int32_t) {});
    piece.endOffset = numbers.offset();
    piece.endsWhereNextBegins = piece.complete == piece.last - piece.first &&
                                (i + 1 == pieces.size() || numbers.onlySpaceUntil(pieces[i + 1].offset));
    finished[i].store(true, std::memory_order_release);
  };

  std::size_t reported = 0;
  std::int32_t complete = 0;
  bool broken = false;  // a piece cut short, or one that did not end where the next begins
  const auto reportFinished = [&] {
    for (; !broken && reported < pieces.size() && finished[reported].load(std::memory_order_acquire); ++reported) {
      const Piece& piece = pieces[reported];
      for (std::int32_t f = piece.first; f < piece.first + piece.complete; ++f) listener.frameCached(f, true);
      complete += piece.complete;
      broken = !piece.endsWhereNextBegins;
    }
  };
  std::thread helper;
  if (threads > 1 && pieces.size() > 1)
    helper = std::thread([&] {
      for (std::size_t i; (i = nextPiece++) < pieces.size();) readPiece(i);
    });
  for (std::size_t i; (i = nextPiece++) < pieces.size();) {
    readPiece(i);
    reportFinished();
  }
  if (helper.joinable()) helper.join();
  reportFinished();

  const Piece& last = pieces[reported - 1];
  if (broken && last.complete == last.last - last.first) {
    // No frame line where the next piece began: on from where this one ended.
    NumberReader numbers(source, last.endOffset, 0);
    complete += readFrames(numbers, animation, complete, room, [&](std::int32_t f) { listener.frameCached(f, true); });
  }
  return complete;
}

Result<ParticleAnimation> cache(const ByteSource& source, PathCacheListener& listener, std::uint64_t memoryBytes,
                                const PathReading& reading) {
  NumberReader counts(source, 0, 0);
  const Result<PathHeader> header = readHeader(counts, source.size());
  if (!header) return header.failure();
  const std::uint64_t bytes = ParticleAnimation::bytesFor(header->room, header->pixels);
  const auto tooLarge = [&] {
    return failure(FailureKind::TooLarge, "needs " + megabytesNeeded(bytes) + " of memory for its frames, but " +
                                              megabytesAvailable(memoryBytes) + " are available");
  };
  if (bytes > memoryBytes) return tooLarge();
  ParticleAnimation animation = ParticleAnimation::allocate(header->room, header->pixels);
  if (animation.frameCount() != header->room) return tooLarge();
  listener.counts(header->pixels, header->frames);

  const Result<std::int32_t> playing =
      framesToPlay(readBody(source, animation, header.value(), listener, reading), header->frames, listener);
  if (!playing) return playing.failure();
  animation.keepFrames(playing.value());
  return animation;
}

}  // namespace

std::vector<PathPiece> planPathPieces(std::string_view text, std::uint64_t bodyStart, std::int32_t frames,
                                      std::size_t count) {
  std::vector<PathPiece> pieces(1);
  pieces[0].offset = bodyStart;
  for (std::size_t i = 1; i < count; ++i) {
    const std::uint64_t target = bodyStart + (text.size() - bodyStart) * i / count;
    if (target <= pieces.back().offset) continue;
    if (const std::optional<PathPiece> next = frameLineFrom(text, target, pieces.back().first, frames))
      pieces.push_back(*next);
  }
  for (std::size_t i = 0; i < pieces.size(); ++i) pieces[i].last = i + 1 < pieces.size() ? pieces[i + 1].first : frames;
  return pieces;
}

Result<std::int32_t> framesToPlay(std::int32_t complete, std::int32_t declared, PathCacheListener& listener) {
  if (complete < declared) listener.frameCached(complete, false);
  if (complete == 0) return failure(FailureKind::CutShort, "ends inside frame 0: there is no complete frame to play");
  return complete;
}

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
  const Result<MappedFile> file = MappedFile::open(fileName);
  if (!file) return file.failure();
  return cache(ByteSource(file->view()), listener, memoryBytes, reading);
}

Result<ParticleAnimation> cachePathText(std::string_view text, PathCacheListener& listener, std::uint64_t memoryBytes,
                                        const PathReading& reading) {
  return cache(ByteSource(text), listener, memoryBytes, reading);
}

// The open file, the reader over it, and where the reading stands.
struct PathFrameStream::State {
  State(FileHandle opened, std::size_t chunkBytes)
      : file(std::move(opened)), source(file.get()), numbers(source, 0, chunkBytes) {}
  FileHandle file;
  ByteSource source;
  NumberReader numbers;
  PathHeader header;
  std::int32_t next = 0;
};

PathFrameStream::PathFrameStream(std::unique_ptr<State> state) : state_(std::move(state)) {}
PathFrameStream::PathFrameStream(PathFrameStream&&) noexcept = default;
PathFrameStream& PathFrameStream::operator=(PathFrameStream&&) noexcept = default;
PathFrameStream::~PathFrameStream() = default;

Result<PathFrameStream> PathFrameStream::open(const std::string& fileName, std::size_t chunkBytes) {
  if (fileName.empty()) return failure(FailureKind::Undefined, "undefined");
  Result<FileHandle> file = openReadable(fileName);
  if (!file) return file.failure();
  auto state = std::make_unique<State>(std::move(file.value()), chunkBytes);
  const Result<PathHeader> header = readHeader(state->numbers, state->source.size());
  if (!header) return header.failure();
  state->header = header.value();
  return PathFrameStream(std::move(state));
}

std::uint32_t PathFrameStream::pixelCount() const { return state_->header.pixels; }
std::int32_t PathFrameStream::frameCount() const { return state_->header.frames; }

Result<void> PathFrameStream::readFrame(float* coordinates) {
  State& s = *state_;
  if (s.next < s.header.frames && zorvel::readFrame(s.numbers, s.header.pixels, coordinates)) {
    ++s.next;
    return {};
  }
  return failure(FailureKind::CutShort, "ends inside frame " + std::to_string(s.next));
}

}  // namespace zorvel
