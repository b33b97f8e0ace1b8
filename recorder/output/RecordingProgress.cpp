#include "recorder/output/RecordingProgress.h"

#include <unistd.h>

#include <cmath>
#include <iostream>
#include <sstream>

#include "common/ProgramNames.h"

namespace zorvel {

RecordingProgress::RecordingProgress(std::int64_t total) : total_(total), terminal_(::isatty(STDERR_FILENO)) {}

void RecordingProgress::frameDone(std::int64_t done) {
  const double seconds = std::chrono::duration<double>(Clock::now() - start_).count();
  const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
  std::ostringstream line;
  line.setf(std::ios::fixed);
  line.precision(1);
  line << "recording: frame " << done << " of " << total_ << ", " << rate << " frames/s";
  if (rate > 0) line << ", " << std::lround(static_cast<double>(total_ - done) / rate) << " s left";
  if (terminal_) {
    std::cerr << '\r' << line.str() << "   " << std::flush;
    if (done == total_) std::cerr << std::endl;
  } else if (done * 10 / total_ != (done - 1) * 10 / total_) {
    std::cerr << kRecorderName << ": " << line.str() << std::endl;
  }
}

}  // namespace zorvel
