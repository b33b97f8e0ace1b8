#include "recorder/drawing/OrderedDrawing.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <limits>
#include <mutex>
#include <thread>

#include "playback/Renderer.h"
#include "recorder/drawing/CameraFraming.h"

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
  // Waits for frame f's turn; false when the animation ends before it or the writing
  // stopped.
  bool await(std::int64_t f) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return next_ == f || end_ <= f || stopped_; });
    return next_ == f && end_ > f && !stopped_;
  }
  // Frame f was handed over.
  void handed(std::int64_t f) {
    std::lock_guard<std::mutex> lock(mutex_);
    next_ = f + 1;
    changed_.notify_all();
  }
  // The animation has no frame f after all, for the reason given.
  void endAt(std::int64_t f, const Failure& why) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (f < end_) {
      end_ = f;
      why_ = why;
    }
    changed_.notify_all();
  }
  void stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
  }

  // Read once every thread is done.
  std::int64_t end() const { return end_; }
  const std::optional<Failure>& why() const { return why_; }
  // Read by the threads between turns, without the lock.
  bool stopped() const { return stopped_.load(); }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::int64_t next_ = 0;
  std::int64_t end_ = std::numeric_limits<std::int64_t>::max();
  std::optional<Failure> why_;
  std::atomic<bool> stopped_{false};
};

// What the drawing threads share.
struct Drawing {
  Drawing(const DrawingPlan& plan, const Handover& handover, PictureWriter& writer)
      : plan(plan),
        frames(plan.recording.frameCount()),
        hold(handover.hold),
        step(static_cast<std::int64_t>(plan.contexts.size())),
        writer(writer),
        handed(handover.handed),
        interrupted(handover.interrupted) {}

  // The view of frame f: the plan's with the frame's camera values.
  ViewState viewOf(std::int64_t f) const {
    ViewState view = plan.view;
    setCameraValues(view, plan.cameras.at(f));
    return view;
  }

  const DrawingPlan& plan;
  std::int64_t frames, hold;
  std::int64_t step;  // the contexts drawing in turn
  PictureWriter& writer;
  const std::function<void(std::int64_t)>& handed;
  const volatile std::sig_atomic_t& interrupted;
  Turns turns;
};

// One thread's share: frames first, first + step, ... drawn in `context` and handed
// over in their turns.
void drawShare(Drawing& d, OffscreenContext& context, FrameDrawer& drawer, Timing& own, std::int64_t first) {
  context.makeCurrent();
  Renderer renderer(kPrimitivesBetweenWaits);
  for (std::int64_t f = first; f < d.frames && !d.interrupted && !d.turns.stopped(); f += d.step) {
    if (const Result<void> taken = drawer.next(); !taken) {
      d.turns.endAt(f, taken.failure());
      break;
    }
    own.writing.start();
    Result<std::vector<std::uint8_t>> picture = d.writer.takeBuffer();
    own.writing.stop();
    if (!picture) {  // the writer failed, and says why when it closes
      d.turns.stop();
      break;
    }
    own.drawing.start();
    const ViewState view = d.viewOf(f);
    const Camera camera(view, projectionReaching(view, d.plan.reach, context.width(), context.height()));
    FrameCanvas canvas{context,           renderer,       camera,
                       own.reading,       d.plan.colours, d.plan.cameras.stillAt(f, d.frames),
                       d.plan.transparent};
    drawer.draw(canvas, view, picture.value());
    own.drawing.stop();
    if (!d.turns.await(f)) {
      d.writer.giveBack(std::move(picture.value()));
      break;
    }
    // The last frame is also the first of the hold.
    const std::int64_t copies = f + 1 == d.frames ? 1 + d.hold : 1;
    if (!d.writer.put(std::move(picture.value()), copies)) {
      d.turns.stop();
      break;
    }
    d.handed(f + copies);
    d.turns.handed(f);
  }
  if (d.interrupted) d.turns.stop();
  context.release();
}

}  // namespace

Result<DrawnFrames> drawInOrder(const DrawingPlan& plan, const Handover& handover, PictureWriter& writer,
                                Timing& timing) {
  const Recording& recording = plan.recording;
  const std::vector<std::unique_ptr<OffscreenContext>>& contexts = plan.contexts;
  Drawing d(plan, handover, writer);
  std::vector<std::unique_ptr<FrameDrawer>> drawers;
  for (std::int64_t first = 0; first < d.step; ++first) {
    Result<std::unique_ptr<FrameDrawer>> drawer =
        recording.drawer(static_cast<std::int32_t>(first), static_cast<std::int32_t>(d.step));
    if (!drawer) return drawer.failure();
    drawers.push_back(std::move(drawer.value()));
  }
  std::vector<Timing> timings(contexts.size());
  std::vector<std::thread> threads;
  for (std::size_t t = 1; t < contexts.size(); ++t)
    threads.emplace_back([&, t] { drawShare(d, *contexts[t], *drawers[t], timings[t], static_cast<std::int64_t>(t)); });
  drawShare(d, *contexts[0], *drawers[0], timings[0], 0);
  for (std::thread& thread : threads) thread.join();
  for (const Timing& own : timings) timing.add(own);
  if (d.turns.end() >= d.frames) return DrawnFrames{d.frames, std::nullopt};

  // The frames ended early: the last one drawn stays for the hold.
  const std::int64_t drawn = d.turns.end();
  if (drawn == 0) return d.turns.why().value();
  // A failed writer says why when it closes.
  if (d.hold > 0 && !d.turns.stopped() && writer.putLastAgain(d.hold)) handover.handed(drawn + d.hold);
  return DrawnFrames{drawn, d.turns.why()};
}

}  // namespace zorvel
