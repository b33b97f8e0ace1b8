#include "cruncher/PathFileText.h"

namespace zorvel {

namespace {
constexpr std::size_t kFrameCountWidth = 10;
}

std::string pathFileHeader(std::uint32_t pixelCount, std::int32_t frameCount) {
  std::string frames = std::to_string(frameCount);
  frames.resize(kFrameCountWidth, ' ');
  return std::to_string(pixelCount) + ' ' + frames;
}

}  // namespace zorvel
