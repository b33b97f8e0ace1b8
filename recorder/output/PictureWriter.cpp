#include "recorder/output/PictureWriter.h"

#include <algorithm>

namespace zorvel {

PictureWriter::PictureWriter(FrameSink& sink, std::size_t buffers)
    : sink_(sink), free_(std::max<std::size_t>(buffers, 2)), thread_([this] { run(); }) {}

PictureWriter::~PictureWriter() { endThread(); }

Result<std::vector<std::uint8_t>> PictureWriter::takeBuffer() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return !free_.empty() || failed_; });
  if (failed_) return *failed_;
  if (free_.size() == 1) lastKept_ = false;
  std::vector<std::uint8_t> buffer = std::move(free_.back());
  free_.pop_back();
  return buffer;
}

Result<void> PictureWriter::put(std::vector<std::uint8_t> picture, std::int64_t times) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failed_) return *failed_;
  queue_.push_back({std::move(picture), times});
  changed_.notify_all();
  return {};
}

Result<void> PictureWriter::putLastAgain(std::int64_t times) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (failed_) return *failed_;
  queue_.push_back({{}, times, true});
  changed_.notify_all();
  return {};
}

void PictureWriter::giveBack(std::vector<std::uint8_t> buffer) {
  std::lock_guard<std::mutex> lock(mutex_);
  free_.push_back(std::move(buffer));
  changed_.notify_all();
}

void PictureWriter::endThread() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
    changed_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
}

Result<void> PictureWriter::close() {
  endThread();
  if (failed_) return *failed_;
  return {};
}

void PictureWriter::run() {
  for (;;) {
    Job job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] { return !queue_.empty() || closing_; });
      if (queue_.empty()) return;
      job = std::move(queue_.front());
      queue_.erase(queue_.begin());
      if (job.again) {
        if (!lastKept_) {
          failed_ = failure(FailureKind::Undefined, "the last picture was drawn over before it was held");
          changed_.notify_all();
          return;
        }
        job.picture = std::move(free_.front());
        free_.erase(free_.begin());
        lastKept_ = false;
      }
    }
    Result<void> written;
    for (std::int64_t t = 0; written && t < job.times; ++t) written = sink_.put(job.picture);
    std::lock_guard<std::mutex> lock(mutex_);
    free_.insert(free_.begin(), std::move(job.picture));
    lastKept_ = true;
    if (!written) failed_ = written.failure();
    changed_.notify_all();
    if (!written) return;
  }
}

}  // namespace zorvel
