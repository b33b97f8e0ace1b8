#pragma once

// One line about a recording's progress on standard error: the frame, the rate and the
// time left, updated in place on a terminal, else printed at every tenth of the frames.

#include <chrono>
#include <cstdint>

namespace zorvel {

class RecordingProgress {
 public:
  // Progress over `total` frames (at least 1), timed from now.
  explicit RecordingProgress(std::int64_t total);

  // Frame `done` (1 to total) is recorded.
  void frameDone(std::int64_t done);

 private:
  using Clock = std::chrono::steady_clock;
  std::int64_t total_;
  bool terminal_;
  Clock::time_point start_ = Clock::now();
};

}  // namespace zorvel
