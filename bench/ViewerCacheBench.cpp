// Loads a path file as the viewer does between "G" and "OpenGL..." (only the path file
// named: the sizing pass and the caching pass) and compares the time with reading the
// same file into memory (the goal: at most twice that) and with `wc -l` on it. The file
// is a generated one of 20,000 pixels in 300 frames, or the ones given. Every timing
// reads from the page cache and is the median of five.
//
// Usage: zorvel_cache_bench [folder] [path file...]   (folder: where the generated file
// goes, by default the system's temporary folder)

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <vector>

#include "viewer/SceneLoading.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

void generate(const std::string& name) {
  const int pixels = 20000, frames = 300;
  std::FILE* file = std::fopen(name.c_str(), "w");
  std::fprintf(file, "%d %d\n\n", pixels, frames);
  std::mt19937 random(7);
  std::uniform_int_distribution<int> halves(-600, 600);
  std::uniform_real_distribution<float> fraction(-100.0f, 100.0f);
  for (int f = 0; f < frames; ++f) {
    std::fprintf(file, "%d\n", f);
    for (int p = 0; p < pixels; ++p)
      std::fprintf(file, "%.4g %.4g %.4g\n", halves(random) * 0.5, p % 7 ? halves(random) * 0.5 : fraction(random),
                   -0.5);
  }
  std::fclose(file);
}

// The median of five runs of `step`, in seconds.
double median(const std::function<bool()>& step) {
  std::vector<double> seconds;
  for (int run = 0; run < 5; ++run) {
    const Clock::time_point start = Clock::now();
    if (!step()) return -1;
    seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  std::sort(seconds.begin(), seconds.end());
  return seconds[2];
}

// The whole file read into a buffer of its size, as a plain program reads it.
bool readIntoMemory(const std::string& name) {
  const int fd = ::open(name.c_str(), O_RDONLY);
  if (fd < 0) return false;
  const std::size_t size = fs::file_size(name);
  std::unique_ptr<char[]> bytes(new char[size]);
  std::size_t got = 0;
  for (ssize_t r; got < size && (r = ::read(fd, bytes.get() + got, size - got)) > 0;)
    got += static_cast<std::size_t>(r);
  ::close(fd);
  return got == size;
}

// The viewer's loading of the path file alone, its lines thrown away.
bool loadAsTheViewer(const std::string& name, std::int32_t& frames) {
  zorvel::ViewerAttributes attributes;
  attributes.pPathFile = name;
  zorvel::ViewerScene scene;
  std::ostringstream out, err;
  zorvel::CachingLines lines(out);
  const bool loaded = zorvel::loadScene(attributes, scene, lines, out, err, "bench").has_value();
  frames = scene.frameCount;
  return loaded;
}

void measure(const std::string& name) {
  std::system(("cat '" + name + "' > /dev/null").c_str());  // into the page cache
  const double wc = median([&] { return std::system(("wc -l '" + name + "' > /dev/null").c_str()) == 0; });
  const double read = median([&] { return readIntoMemory(name); });
  std::int32_t frames = 0;
  const double load = median([&] { return loadAsTheViewer(name, frames); });
  std::printf("%s: %.1f MB, %d frames\n", name.c_str(), static_cast<double>(fs::file_size(name)) / 1e6, frames);
  std::printf("  wc -l             %.3f s\n", wc);
  std::printf("  read into memory  %.3f s\n", read);
  std::printf("  viewer's loading  %.3f s: %.2f x the read, %.2f x wc -l%s\n", load, load / read, load / wc,
              load < 0 ? " (FAILED)" : "");
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
  if (argc > 2) {
    for (int i = 2; i < argc; ++i) measure(argv[i]);
    return 0;
  }
  const std::string name = (folder / "zorvel-cache-bench.pPath").string();
  generate(name);
  measure(name);
  fs::remove(name);
  return 0;
}
