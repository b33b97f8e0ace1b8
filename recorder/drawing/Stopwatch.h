#pragma once

// Adds up the time between start() and stop(), for saying where a recording's time
// went.

#include <chrono>

namespace zorvel {

class Stopwatch {
 public:
  void start() { begun_ = Clock::now(); }
  void stop() { total_ += Clock::now() - begun_; }
  double seconds() const { return std::chrono::duration<double>(total_).count(); }
  // Adds the time `other` added up.
  void add(const Stopwatch& other) { total_ += other.total_; }

 private:
  using Clock = std::chrono::steady_clock;
  Clock::time_point begun_;
  Clock::duration total_{};
};

}  // namespace zorvel
