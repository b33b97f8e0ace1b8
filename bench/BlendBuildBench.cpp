// Builds the frames of three 200 x 100 keyframes (20,000 pixels) with 20 in-between
// frames each and reports the time.

#include <chrono>
#include <cstdio>
#include "blender/KeyframeFrames.h"
#include "common/MemoryBudget.h"

int main() {
  zorvel::BlenderConfig config;
  config.keyframeCount = 3;
  config.minDisplacement = 0.5f;
  config.maxDisplacement = 6.0f;
  config.inbetweenCounts = {20, 20, 20};
  for (std::size_t k = 0; k < 3; ++k) {
    zorvel::KeyframeImage image;
    image.width = 200;
    image.height = 100;
    image.records.resize(20000);
    for (std::size_t j = 0; j < image.records.size(); ++j)
      image.records[j].colour = {static_cast<std::uint8_t>(j * (k + 1)), static_cast<std::uint8_t>(j / 200 + k * 60),
                                 static_cast<std::uint8_t>(255 - k * 90), 255};
    zorvel::layOutPixels(image);
    config.keyframes.push_back(std::make_shared<zorvel::KeyframeImage>(image));
  }
  const auto start = std::chrono::steady_clock::now();
  const auto frames = zorvel::buildFrames(config, zorvel::availableMemory());
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("blend: 20,000 pixels, 3 segments of 20 frames (%d frames, %.1f MB): built in %.3f s\n",
              frames ? frames->store.frameCount : 0, 60 * 20000 * 20 / 1e6, seconds);
  return frames ? 0 : 1;
}
