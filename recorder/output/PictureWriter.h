#pragma once

// Hands pictures to a frame sink on a thread of its own, so that the next frame is
// drawn while the last is written. Holds a few pictures, whose buffers go back and
// forth between the drawing and the writing. Owns its thread; not copyable.

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "common/Result.h"
#include "recorder/output/FrameSink.h"

namespace zorvel {

class PictureWriter {
 public:
  // Writes to `sink`, which must outlive it, with `buffers` pictures going round (at
  // least two).
  explicit PictureWriter(FrameSink& sink, std::size_t buffers = 2);
  ~PictureWriter();
  PictureWriter(const PictureWriter&) = delete;
  PictureWriter& operator=(const PictureWriter&) = delete;

  // A buffer to draw the next picture into; waits while every one is taken. Fails once
  // the sink failed, with the sink's reason.
  Result<std::vector<std::uint8_t>> takeBuffer();
  // Queues a picture `times` times. Fails once the sink failed, with the sink's reason.
  Result<void> put(std::vector<std::uint8_t> picture, std::int64_t times = 1);
  // Queues the last picture put once more `times` times: for the drawing that ends before
  // the frame it was to hold. Nothing may take a buffer between that put and this. Fails
  // once the sink failed, with the sink's reason.
  Result<void> putLastAgain(std::int64_t times);
  // Gives back a buffer that is not to be written.
  void giveBack(std::vector<std::uint8_t> buffer);
  // Waits until every picture is written: the sink's failure, if it failed.
  Result<void> close();

 private:
  struct Job {
    std::vector<std::uint8_t> picture;
    std::int64_t times;
    bool again = false;  // the last picture written, kept first among the free buffers
  };
  void run();
  // Writes what is queued, then ends the thread.
  void endThread();

  FrameSink& sink_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Job> queue_;
  std::vector<std::vector<std::uint8_t>> free_;  // taken from the back
  bool lastKept_ = false;                        // free_.front() holds the last picture written
  bool closing_ = false;
  std::optional<Failure> failed_;
  std::thread thread_;
};

}  // namespace zorvel
