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
#include "recorder/FrameSink.h"

namespace zorvel {

class PictureWriter {
 public:
  // Writes to `sink`, which must outlive it, with `buffers` pictures going round (at
  // least two).
  explicit PictureWriter(FrameSink& sink, std::size_t buffers = 2);
  ~PictureWriter();
  PictureWriter(const PictureWriter&) = delete;
  PictureWriter& operator=(const PictureWriter&) = delete;

  // A buffer to draw the next picture into; waits while both are taken.
  std::vector<std::uint8_t> takeBuffer();
  // Queues a picture `times` times; false once the sink failed.
  bool put(std::vector<std::uint8_t> picture, std::int64_t times = 1);
  // Gives back a buffer that is not to be written.
  void giveBack(std::vector<std::uint8_t> buffer);
  // Waits until every picture is written: the sink's failure, if it failed.
  Result<void> close();

 private:
  struct Job {
    std::vector<std::uint8_t> picture;
    std::int64_t times;
  };
  void run();
  // Writes what is queued, then ends the thread.
  void endThread();

  FrameSink& sink_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Job> queue_;
  std::vector<std::vector<std::uint8_t>> free_;
  bool closing_ = false;
  std::optional<Failure> failed_;
  std::thread thread_;
};

}  // namespace zorvel
