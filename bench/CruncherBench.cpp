// Crunches a 141 x 141 picture (19,881 pixels) with default attributes and with the
// largest scatter volume, and compares each run with the floor: writing the same number
// of bytes with one plain buffered write loop.
//
// Usage: zorvel_crunch_bench [folder]   (default: the system's temporary folder)

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <vector>

#include "FrameLoop.h"
#include "PixelImage.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The cruncher's own steps for a picture without maps: velocity 1, height 0.
double crunch(const std::string& name, zorvel::Vector3 sigma, std::uintmax_t& bytes, int& frames) {
  zorvel::PixelImage image;
  image.name = name;
  image.width = image.height = 141.0f;
  image.records.resize(141 * 141);
  image.pixelCount = 141 * 141;
  for (std::size_t k = 0; k < image.records.size(); ++k)
    image.records[k].colour = {static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(k / 141), 90, 255};
  image.scatterVolumeScalar = sigma;
  std::ofstream quiet("/dev/null");
  const Clock::time_point start = Clock::now();
  image.placeOnGrid();
  image.applyUniformHeight(0.0f);
  image.scatter(20261208u, quiet);
  frames = zorvel::calculateFrames(image.records, name + ".pPath", [](std::int32_t, bool) {}).frameCount;
  const double seconds = secondsSince(start);
  bytes = fs::file_size(name + ".pPath");
  return seconds;
}

// Writes `bytes` bytes of text through a 1 MiB buffer: the least any writer must spend.
double plainWrite(const std::string& name, std::uintmax_t bytes) {
  std::vector<char> buffer(1 << 20, '7');
  for (std::size_t i = 9; i < buffer.size(); i += 10) buffer[i] = '\n';
  const Clock::time_point start = Clock::now();
  std::FILE* file = std::fopen(name.c_str(), "w");
  for (std::uintmax_t left = bytes; left > 0;) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uintmax_t>(left, buffer.size()));
    std::fwrite(buffer.data(), 1, n, file);
    left -= n;
  }
  std::fclose(file);
  return secondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
  const std::string name = (folder / "zorvel-bench.tga").string();
  struct Case {
    const char* label;
    zorvel::Vector3 sigma;
  };
  std::printf("%-28s %8s %10s %10s %10s %7s\n", "case", "frames", "MB", "crunch s", "floor s", "ratio");
  for (const Case c : {Case{"141x141 default (2,2,2)", {2, 2, 2}}, Case{"141x141 largest (20,20,20)", {20, 20, 20}}}) {
    std::uintmax_t bytes = 0;
    int frames = 0;
    const double crunchSeconds = crunch(name, c.sigma, bytes, frames);
    const double floorSeconds = plainWrite(name + ".floor", bytes);
    std::printf("%-28s %8d %10.1f %10.3f %10.3f %7.2f\n", c.label, frames, bytes / 1e6, crunchSeconds, floorSeconds,
                crunchSeconds / floorSeconds);
    fs::remove(name + ".pPath");
    fs::remove(name + ".floor");
  }
  return 0;
}
