#include "common/TickCounter.h"

#include <chrono>

namespace zorvel {

std::uint32_t tickCount() {
  using namespace std::chrono;
  const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ms));
}

}  // namespace zorvel
