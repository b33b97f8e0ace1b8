// Caches a path file as the viewer does and compares the time with reading the same
// file into memory (the goal: at most twice that) and with `wc -l` on it. The file is
// a generated one of 20,000 pixels in 300 frames, or the one given.
//
// Usage: zorvel_cache_bench [folder] [path file]   (folder: where the generated file
// goes, by default the system's temporary folder)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "common/MemoryBudget.h"
#include "common/WholeFile.h"
#include "viewer/PathFileReader.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Quiet : zorvel::PathCacheListener {
  void counts(std::uint32_t, std::int32_t) override {}
  void frameCached(std::int32_t, bool) override {}
};

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

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

}  // namespace

int main(int argc, char** argv) {
  const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
  const bool given = argc > 2;
  const std::string name = given ? std::string(argv[2]) : (folder / "zorvel-cache-bench.pPath").string();
  if (!given) generate(name);
  const double megabytes = static_cast<double>(fs::file_size(name)) / 1e6;

  // Warm the page cache so that every timing reads from memory.
  std::system(("cat '" + name + "' > /dev/null").c_str());
  Clock::time_point start = Clock::now();
  std::system(("wc -l '" + name + "' > /dev/null").c_str());
  const double wc = secondsSince(start);

  double read = 0;
  {
    start = Clock::now();
    const zorvel::Result<zorvel::FileText> text = zorvel::readWholeFile(name);
    read = secondsSince(start);
    if (!text) return 1;
  }

  Quiet quiet;
  const auto cacheWith = [&](unsigned threads, bool& cached, std::int32_t& frames) {
    start = Clock::now();
    zorvel::pathFilePixelCount(name);
    const zorvel::Result<zorvel::ParticleAnimation> animation =
        zorvel::cachePathFile(name, quiet, zorvel::availableMemory(), {threads});
    const double seconds = secondsSince(start);
    cached = static_cast<bool>(animation);
    frames = cached ? animation->frameCount() : 0;
    return seconds;
  };
  bool cachedAlone = false, cached = false;
  std::int32_t frames = 0;
  const double alone = cacheWith(1, cachedAlone, frames);
  const double cache = cacheWith(0, cached, frames);

  std::printf("path file: %s, %.1f MB, %d frames\n", name.c_str(), megabytes, frames);
  std::printf("wc -l:              %.3f s\n", wc);
  std::printf("read into memory:   %.3f s\n", read);
  std::printf("cache, one thread:  %.3f s (%.2f x the read)\n", alone, alone / read);
  std::printf("cache:              %.3f s (%.2f x the read, %.2f x wc -l)%s\n", cache, cache / read, cache / wc,
              cached && cachedAlone ? "" : " REFUSED");
  if (!given) fs::remove(name);
  return cached ? 0 : 1;
}
