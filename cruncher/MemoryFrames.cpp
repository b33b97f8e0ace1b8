#include "cruncher/MemoryFrames.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "cruncher/CruncherAttributes.h"
#include "cruncher/FrameLoop.h"
#include "cruncher/PathFileText.h"
#include "cruncher/PixelImage.h"

namespace zorvel {

std::vector<MovingParticle> startingParticles(const std::vector<PixelParticle>& particles) {
  std::vector<MovingParticle> moving;
  moving.reserve(particles.size());
  for (const PixelParticle& p : particles) moving.push_back({p.nextPosition, p.homePosition, p.velocityScalar});
  return moving;
}

std::vector<std::int32_t> stepsHome(const std::vector<MovingParticle>& particles, unsigned threads) {
  const std::size_t n = particles.size();
  std::vector<std::int32_t> steps(n);
  const auto stepRange = [&](std::size_t begin, std::size_t end) {
    for (std::size_t k = begin; k < end; ++k) {
      MovingParticle m = particles[k];
      std::int32_t count = 0;
      while (takeStep(m) >= 0) ++count;
      steps[k] = count;
    }
  };
  const std::size_t ranges = frameLoopRanges(n, threads);
  std::vector<std::thread> others;
  for (std::size_t r = 1; r < ranges; ++r) others.emplace_back(stepRange, n * r / ranges, n * (r + 1) / ranges);
  stepRange(0, n / ranges);
  for (std::thread& thread : others) thread.join();
  return steps;
}

std::int32_t frameCountFor(const std::vector<std::int32_t>& steps) {
  return 1 + (steps.empty() ? 0 : *std::max_element(steps.begin(), steps.end()));
}

std::int64_t estimatedFrames(const std::vector<MovingParticle>& particles, double velocity) {
  const double scalar = PixelImage::velocityScalarFor(0.0f, velocity, velocity);
  std::int64_t most = 0;
  for (const MovingParticle& m : particles) {
    const auto steps = [scalar](float from, float to) {
      return static_cast<std::int64_t>(std::ceil(std::fabs(static_cast<double>(to) - from) / scalar));
    };
    most =
        std::max(most, steps(m.position.x, m.home.x) + steps(m.position.y, m.home.y) + steps(m.position.z, m.home.z));
  }
  return most + 1;
}

double velocityForFrames(const std::vector<MovingParticle>& particles, std::int64_t frames) {
  // Velocities in thousandths; the frames fall as the velocity rises.
  const auto velocity = [](std::int64_t thousandths) { return static_cast<double>(thousandths) / 1000.0; };
  std::int64_t slow = std::llround(kVelocityRange.low * 1000), fast = std::llround(kVelocityRange.high * 1000);
  if (estimatedFrames(particles, velocity(fast)) > frames) return velocity(fast);
  if (estimatedFrames(particles, velocity(slow)) <= frames) return velocity(slow);
  // The fastest that takes more frames than asked for, and the slowest that does not.
  while (fast - slow > 1) {
    const std::int64_t middle = (slow + fast) / 2;
    (estimatedFrames(particles, velocity(middle)) > frames ? slow : fast) = middle;
  }
  const std::int64_t over = estimatedFrames(particles, velocity(slow)) - frames;
  const std::int64_t under = frames - estimatedFrames(particles, velocity(fast));
  return velocity(over < under ? slow : fast);
}

FrameStepper::FrameStepper(std::vector<MovingParticle> particles)
    : particles_(std::move(particles)), moved_(particles_.size(), 0) {
  away_.reserve(particles_.size());
  for (std::uint32_t k = 0; k < particles_.size(); ++k) away_.push_back(k);
}

void FrameStepper::writeFrame(std::int32_t frame, float* coordinates) {
  for (; frame_ < frame; ++frame_) {
    // Every particle away from home takes its step; those home stay home.
    std::size_t kept = 0;
    for (const std::uint32_t k : away_) {
      const int axis = takeStep(particles_[k]);
      if (axis < 0) continue;
      away_[kept++] = k;
      if (moved_[k] == 0) changed_.push_back(k);
      moved_[k] |= static_cast<std::uint8_t>(1u << axis);
    }
    away_.resize(kept);
  }
  const auto write = [&](std::uint32_t k, unsigned axes) {
    const float p[3] = {particles_[k].position.x, particles_[k].position.y, particles_[k].position.z};
    for (int axis = 0; axis < 3; ++axis)
      if (axes & (1u << axis)) coordinates[3 * std::size_t{k} + axis] = coordinateReadBack(p[axis]);
  };
  if (!written_) {
    for (std::uint32_t k = 0; k < particles_.size(); ++k) write(k, 7);
    written_ = true;
  } else {
    for (const std::uint32_t k : changed_) write(k, moved_[k]);
  }
  for (const std::uint32_t k : changed_) moved_[k] = 0;
  changed_.clear();
}

}  // namespace zorvel
