#include "recorder/OrderedDrawing.h"

#include <atomic>
#include <condition_variable>
#include <iostream>
#include <limits>
#include <mutex>
#include <thread>

#include "playback/Renderer.h"
#include "recorder/RecordingProgress.h"
#include "viewer/SceneLoading.h"

namespace zorvel {

namespace {

// The renderer holds about 20 MB a context for a picture of 20,000 solid boxes on screen
// (their 120,000 visible triangles), and more for their edges. Waiting for it every
// 60,000 primitives (once a frame in solid, up to three times in wire) keeps a recording
// of them within 150 MB; a smaller bound saves less than the waits cost.
constexpr std::size_t kPrimitivesBetweenWaits = 60000;

// The threads' turns at the writer: frame f is handed over once every frame before it
// is, and none after the frame the animation ended at.
class Turns {
 public:
  explicit Turns(std::int64_t frames) : progress_(frames) {}

  // Waits for frame f's turn; false when the animation ends before it or the writing
  // stopped.
  bool await(std::int64_t f) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return next_ == f || end_ <= f || stopped_; });
    return next_ == f && end_ > f && !stopped_;
  }
  // Frame f was handed over.
  void handed(std::int64_t f, bool written) {
    std::lock_guard<std::mutex> lock(mutex_);
    next_ = f + 1;
    if (written)
      progress_.frameDone(f + 1);
    else
      stopped_ = true;
    changed_.notify_all();
  }
  // The animation has no frame f after all.
  void endAt(std::int64_t f) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (f < end_) end_ = f;
    changed_.notify_all();
  }
  void stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
  }

  // Read once every thread is done.
  std::int64_t end() const { return end_; }
  // Read by the threads between turns, without the lock.
  bool stopped() const { return stopped_.load(); }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::int64_t next_ = 0;
  std::int64_t end_ = std::numeric_limits<std::int64_t>::max();
  std::atomic<bool> stopped_{false};
  RecordingProgress progress_;
};

}  // namespace

Result<std::int64_t> drawInOrder(const Recording& recording,
                                 const std::vector<std::unique_ptr<OffscreenContext>>& contexts, const ViewState& view,
                                 const Projection& projection, std::int64_t hold, PictureWriter& writer, Timing& timing,
                                 const volatile std::sig_atomic_t& interrupted) {
  const std::int64_t frames = recording.frameCount();
  const std::int32_t step = static_cast<std::int32_t>(contexts.size());
  std::vector<std::unique_ptr<FrameDrawer>> drawers;
  for (std::int32_t first = 0; first < step; ++first) {
    Result<std::unique_ptr<FrameDrawer>> drawer = recording.drawer(first, step);
    if (!drawer) return drawer.failure();
    drawers.push_back(std::move(drawer.value()));
  }
  Turns turns(frames);
  std::vector<Timing> timings(contexts.size());
  const Camera camera(view, projection);
  const auto draw = [&](std::size_t t) {
    OffscreenContext& context = *contexts[t];
    FrameDrawer& drawer = *drawers[t];
    Timing& own = timings[t];
    context.makeCurrent();
    Renderer renderer(kPrimitivesBetweenWaits);
    FrameCanvas canvas{context, renderer, camera, own.reading};
    // The grid is drawn with the blending that the last frame's boxes left, as in the
    // window, where every picture follows another.
    renderer.setDrawingState(view);
    for (std::int64_t f = static_cast<std::int64_t>(t); f < frames && !interrupted && !turns.stopped(); f += step) {
      if (!drawer.next()) {
        turns.endAt(f);
        break;
      }
      own.writing.start();
      std::vector<std::uint8_t> picture = writer.takeBuffer();
      own.writing.stop();
      own.drawing.start();
      drawer.draw(canvas, view, picture);
      own.drawing.stop();
      if (!turns.await(f)) {
        writer.giveBack(std::move(picture));
        break;
      }
      // The last frame is also the first of the hold.
      turns.handed(f, writer.put(std::move(picture), f + 1 == frames ? 1 + hold : 1));
    }
    if (interrupted) turns.stop();
    context.release();
  };
  std::vector<std::thread> threads;
  for (std::size_t t = 1; t < contexts.size(); ++t) threads.emplace_back(draw, t);
  draw(0);
  for (std::thread& thread : threads) thread.join();
  for (const Timing& own : timings) timing.add(own);

  if (turns.end() >= frames) return frames;
  // The frames ended early: the last one drawn stays for the hold.
  const std::int64_t drawn = turns.end();
  printCutShort(std::cerr, static_cast<std::int32_t>(drawn));
  if (drawn > 0 && hold > 0 && !turns.stopped()) {
    // No thread drew after it: each found no later frame.
    const OffscreenContext& holder = *contexts[static_cast<std::size_t>((drawn - 1) % step)];
    holder.makeCurrent();
    std::vector<std::uint8_t> picture = writer.takeBuffer();
    holder.readPixels(picture);
    holder.release();
    writer.put(std::move(picture), hold);
  }
  return drawn;
}

}  // namespace zorvel
