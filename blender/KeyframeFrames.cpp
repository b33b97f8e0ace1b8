#include "blender/KeyframeFrames.h"

#include <algorithm>
#include <climits>
#include <map>
#include <ostream>
#include <set>

#include "common/MemoryBudget.h"

namespace zorvel {

std::int32_t blendChannel(std::int32_t a, std::int32_t b, std::int32_t g, std::int32_t n) {
  return a + ((g + 1) * (b - a)) / n;
}

float computeDisplacement(const ColorRGBA& colour, float minDisplacement, float maxDisplacement) {
  const float brightness = static_cast<float>((colour.red + colour.green + colour.blue) * 0.3333333333333333);
  const double difference = static_cast<double>(maxDisplacement) - minDisplacement;
  const double quotient = 255.0 / static_cast<double>(brightness);
  return static_cast<float>(minDisplacement + difference / quotient);
}

namespace {

std::set<const KeyframeImage*> distinctPictures(const BlenderConfig& config) {
  std::set<const KeyframeImage*> pictures;
  for (std::size_t k = 0; k < config.keyframeCount; ++k) pictures.insert(config.keyframes[k].get());
  return pictures;
}

// The store's planes for `values` values each; false, and nothing held, when memory
// runs out.
bool allocate(FrameStore& store, std::size_t values) {
  const bool made = attemptWithinMemory([&] {
    for (auto* plane : {&store.frameRed, &store.frameGreen, &store.frameBlue, &store.frameAlpha}) plane->resize(values);
    store.frameDisplacement.resize(values);
  });
  if (!made) store = FrameStore{};
  return made;
}

}  // namespace

// The frame store's bytes a pixel a frame: four colour planes and the displacement.
constexpr std::uint64_t kStoreBytesPerValue = 4 * sizeof(std::uint32_t) + sizeof(float);

std::uint64_t blendBytes(std::uint64_t frames, std::uint64_t pixels, std::uint64_t pictures) {
  return frames * pixels * kStoreBytesPerValue + pictures * pixels * sizeof(ColorRGBA);
}

std::int64_t frameTotal(const std::vector<std::uint16_t>& inbetweenCounts, std::size_t keyframes) {
  std::int64_t frames = 0;
  for (std::size_t k = 0; k < keyframes && k < inbetweenCounts.size(); ++k) frames += inbetweenCounts[k];
  return frames;
}

std::uint64_t blendBytes(const BlenderConfig& config) {
  const KeyframeImage& first = *config.keyframes.at(0);
  const std::uint64_t pixels = static_cast<std::uint64_t>(first.pixelCountOfSize());
  const std::int64_t frames = frameTotal(config.inbetweenCounts, config.keyframeCount);
  return blendBytes(static_cast<std::uint64_t>(frames), pixels, distinctPictures(config).size());
}

namespace {

// The keyframes' colours, one copy for each distinct picture, shared by the keyframes
// that show it; pixels a picture lacks are black.
void copyKeyframeColours(const BlenderConfig& config, KeyframeSet& set) {
  std::map<const KeyframeImage*, std::shared_ptr<const std::vector<ColorRGBA>>> copies;
  for (std::size_t k = 0; k < config.keyframeCount; ++k) {
    const KeyframeImage* picture = config.keyframes[k].get();
    std::shared_ptr<const std::vector<ColorRGBA>>& copy = copies[picture];
    if (!copy) {
      auto colours = std::make_shared<std::vector<ColorRGBA>>(set.pixelCount, ColorRGBA{0, 0, 0, 255});
      const auto& records = picture->records;
      for (std::size_t j = 0; j < set.pixelCount && j < records.size(); ++j) (*colours)[j] = records[j].colour;
      copy = std::move(colours);
    }
    set.keyframes.push_back({copy, config.inbetweenCounts[k]});
  }
}

// Every frame: each keyframe blended towards the next over its in-between count, the
// last towards the first, with each blended colour's displacement.
void blendFrames(const KeyframeSet& set, float minDisplacement, float maxDisplacement, FrameStore& store) {
  std::int32_t f = 0;
  const std::size_t keyframeCount = set.keyframes.size();
  for (std::size_t k = 0; k < keyframeCount; ++k) {
    const KeyframeColours& from = set.keyframes[k];
    const KeyframeColours& to = set.keyframes[(k + 1) % keyframeCount];
    const std::int32_t n = from.inbetweenCount;
    for (std::int32_t g = 0; g < n; ++g, ++f) {
      for (std::uint32_t j = 0; j < set.pixelCount; ++j) {
        const ColorRGBA a = (*from.colours)[j], b = (*to.colours)[j];
        const ColorRGBA blended{static_cast<std::uint8_t>(blendChannel(a.red, b.red, g, n)),
                                static_cast<std::uint8_t>(blendChannel(a.green, b.green, g, n)),
                                static_cast<std::uint8_t>(blendChannel(a.blue, b.blue, g, n)),
                                static_cast<std::uint8_t>(blendChannel(a.alpha, b.alpha, g, n))};
        const std::size_t at = store.at(f, j);
        store.frameRed[at] = blended.red;
        store.frameGreen[at] = blended.green;
        store.frameBlue[at] = blended.blue;
        store.frameAlpha[at] = blended.alpha;
        store.frameDisplacement[at] = computeDisplacement(blended, minDisplacement, maxDisplacement);
      }
    }
  }
}

}  // namespace

Result<BlendFrames> buildFrames(const BlenderConfig& config, std::uint64_t memoryBytes) {
  BlendFrames frames;
  KeyframeSet& set = frames.keyframes;
  FrameStore& store = frames.store;
  const KeyframeImage& first = *config.keyframes.at(0);
  set.pixelCount = static_cast<std::uint32_t>(static_cast<int>(first.height)) * static_cast<int>(first.width);
  const std::int64_t total = frameTotal(config.inbetweenCounts, config.keyframeCount);

  // Refuse what memory cannot hold before trying.
  const std::uint64_t values = static_cast<std::uint64_t>(total) * set.pixelCount;
  store.pixelCount = set.pixelCount;
  store.frameCount = static_cast<std::int32_t>(std::min<std::int64_t>(total, INT32_MAX));
  if (total > INT32_MAX || blendBytes(config) > memoryBytes || !allocate(store, static_cast<std::size_t>(values)))
    return failure(FailureKind::TooLarge, "Not enough memory for " + std::to_string(total) + " frames of " +
                                              std::to_string(set.pixelCount) + " pixels (" +
                                              std::to_string(wholeMegabytes(values * kStoreBytesPerValue)) + " MB).");
  copyKeyframeColours(config, set);
  blendFrames(set, config.minDisplacement, config.maxDisplacement, store);
  return frames;
}

}  // namespace zorvel
