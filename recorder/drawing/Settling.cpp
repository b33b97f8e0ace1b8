#include "recorder/drawing/Settling.h"

#include <algorithm>
#include <numeric>

namespace zorvel {

void SettlingWatch::add(const float* frame, const float* before) {
  if (before) {
    for (std::size_t k = 0; k < settledFrom_.size(); ++k) {
      const float* now = frame + 3 * k;
      const float* then = before + 3 * k;
      if (now[0] != then[0] || now[1] != then[1] || now[2] != then[2]) settledFrom_[k] = frames_;
    }
  }
  ++frames_;
}

Settling Settling::of(std::vector<std::int32_t> settledFrom) {
  Settling settling;
  settling.from = std::move(settledFrom);
  settling.inOrder.resize(settling.from.size());
  std::iota(settling.inOrder.begin(), settling.inOrder.end(), 0u);
  std::stable_sort(settling.inOrder.begin(), settling.inOrder.end(),
                   [&from = settling.from](std::uint32_t a, std::uint32_t b) { return from[a] < from[b]; });
  return settling;
}

}  // namespace zorvel
