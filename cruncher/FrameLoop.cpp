#include "cruncher/FrameLoop.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "cruncher/ParticleMotion.h"
#include "cruncher/PathFileText.h"
#include "cruncher/TextFileWriter.h"

namespace zorvel {

namespace {

// Fewer particles than this per range are not worth a thread of their own.
constexpr std::size_t kLeastParticlesPerRange = 2048;
// How many frames a range may run ahead of the writer.
constexpr std::size_t kFramesAhead = 3;

// The text of one range in one frame, and whether any of its particles was away from
// home in that frame.
struct Chunk {
  std::unique_ptr<char[]> text;
  std::size_t length = 0;
  bool moving = false;
};

// Steps a range of particles one frame at a time. It works on a compact copy of what
// the motion and the text need, one record a particle (the loop walks every particle
// every frame, so the less memory it touches the faster it goes), and writes the
// particles' final state back.
class RangeStepper {
 public:
  RangeStepper(PixelParticle* begin, PixelParticle* end) : particles_(begin) {
    movers_.reserve(static_cast<std::size_t>(end - begin));
    for (PixelParticle* p = begin; p != end; ++p) {
      Mover m;
      m.particle = {p->nextPosition, p->homePosition, p->velocityScalar};
      m.line.compose(m.particle.position);
      movers_.push_back(m);
    }
  }
  ~RangeStepper() {
    for (std::size_t k = 0; k < movers_.size(); ++k)
      particles_[k].position = particles_[k].nextPosition = movers_[k].particle.position;
  }
  RangeStepper(const RangeStepper&) = delete;
  RangeStepper& operator=(const RangeStepper&) = delete;

  Chunk makeChunk() const {
    return {std::unique_ptr<char[]>(new char[movers_.size() * CoordinateText::kMaxLineText]), 0, false};
  }

  // The next frame: every particle's position is written, then it takes its step.
  void step(Chunk& chunk) {
    bool moving = false;
    char* to = chunk.text.get();
    for (Mover& m : movers_) {
      if (m.changedAxis != kNoAxis) {
        m.line.update(m.particle.position, m.changedAxis);
        m.changedAxis = kNoAxis;
      }
      to = m.line.write(to);
      const int axis = takeStep(m.particle);
      if (axis < 0) continue;
      moving = true;
      m.changedAxis = static_cast<std::uint8_t>(axis);
    }
    chunk.length = static_cast<std::size_t>(to - chunk.text.get());
    chunk.moving = moving;
  }

 private:
  static constexpr std::uint8_t kNoAxis = 3;

  struct Mover {
    MovingParticle particle;
    std::uint8_t changedAxis = kNoAxis;  // the axis that moved since the text was made
    CoordinateText line;                 // the text of the particle's position
  };

  PixelParticle* particles_;
  std::vector<Mover> movers_;
};

// A range stepped on a thread of its own, a few frames ahead of the writer.
class RangeThread {
 public:
  RangeThread(PixelParticle* begin, PixelParticle* end) : stepper_(begin, end) {
    for (Chunk& chunk : slots_) chunk = stepper_.makeChunk();
    thread_ = std::thread([this] { run(); });
  }
  ~RangeThread() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  RangeThread(const RangeThread&) = delete;
  RangeThread& operator=(const RangeThread&) = delete;

  // The range's text of `frame`; valid until release(frame). Once the range is home,
  // its last frame's text stands for every later frame.
  const Chunk& chunk(std::size_t frame) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return produced_ > frame || finished_; });
    return slots_[std::min(frame, produced_ - 1) % kFramesAhead];
  }
  void release(std::size_t frame) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      consumed_ = std::max(consumed_, frame + 1);
    }
    changed_.notify_all();
  }

 private:
  void run() {
    for (std::size_t frame = 0;; ++frame) {
      {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return stopping_ || frame - consumed_ < kFramesAhead; });
        if (stopping_) return;
      }
      Chunk& chunk = slots_[frame % kFramesAhead];
      stepper_.step(chunk);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        produced_ = frame + 1;
        finished_ = !chunk.moving;
      }
      changed_.notify_all();
      if (!chunk.moving) return;
    }
  }

  RangeStepper stepper_;
  Chunk slots_[kFramesAhead];
  std::mutex mutex_;
  std::condition_variable changed_;
  std::size_t produced_ = 0;  // frames whose text is ready
  std::size_t consumed_ = 0;  // frames the writer is done with
  bool finished_ = false;     // the last frame produced found the range at home
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace

std::size_t frameLoopRanges(std::size_t particles, unsigned threads) {
  if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
  return std::max<std::size_t>(1, std::min<std::size_t>(threads, particles / kLeastParticlesPerRange));
}

Result<std::int32_t> calculateFrames(std::vector<PixelParticle>& particles, const std::string& fileName,
                                     const FrameProgress& progress, unsigned threads) {
  const std::size_t n = particles.size();
  const std::size_t ranges = frameLoopRanges(n, threads);

  // The writer's own thread steps the first range; the others run on threads of their own.
  PixelParticle* const first = particles.data();
  const auto rangeStart = [&](std::size_t r) { return first + n * r / ranges; };
  RangeStepper own(rangeStart(0), rangeStart(1));
  Chunk ownChunk = own.makeChunk();
  std::vector<std::unique_ptr<RangeThread>> others;
  for (std::size_t r = 1; r < ranges; ++r)
    others.push_back(std::make_unique<RangeThread>(rangeStart(r), rangeStart(r + 1)));

  TextFileWriter file(fileName);
  file.put(pathFileHeader(static_cast<std::uint32_t>(n), 0));
  file.put("\n\n");
  std::int32_t frame = 0;
  bool ownHome = false;
  for (bool moving = true; moving; ++frame) {
    progress(frame, false);
    file.putInteger(frame);
    file.put('\n');
    if (!ownHome) {
      own.step(ownChunk);
      ownHome = !ownChunk.moving;
    }
    moving = ownChunk.moving;
    file.put(ownChunk.text.get(), ownChunk.length);
    for (const std::unique_ptr<RangeThread>& other : others) {
      const Chunk& chunk = other->chunk(static_cast<std::size_t>(frame));
      moving = moving || chunk.moving;
      file.put(chunk.text.get(), chunk.length);
      other->release(static_cast<std::size_t>(frame));
    }
    progress(frame, true);
  }
  file.overwriteStart(pathFileHeader(static_cast<std::uint32_t>(n), frame));
  const Result<void> written = file.close();
  if (!written) return written.failure();
  return frame;
}

}  // namespace zorvel
