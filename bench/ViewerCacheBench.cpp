// Caches a generated 20,000-pixel, 300-frame path file as the viewer does and compares
// the time with `wc -l` on the same file.
//
// Usage: zorvel_cache_bench [folder]   (default: the system's temporary folder)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "MemoryBudget.h"
#include "PathFileReader.h"
#include "WholeFile.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Quiet : zorvel::PathCacheListener {
  void counts(std::uint32_t, std::int32_t) override {}
  void frameCached(std::int32_t, bool) override {}
};

}  // namespace

int main(int argc, char** argv) {
  const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
  const std::string name = (folder / "zorvel-cache-bench.pPath").string();
  const int pixels = 20000, frames = 300;
  {
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
  const double megabytes = static_cast<double>(fs::file_size(name)) / 1e6;

  // Warm the page cache so both timings read from memory.
  std::system(("cat '" + name + "' > /dev/null").c_str());
  Clock::time_point start = Clock::now();
  std::system(("wc -l '" + name + "' > /dev/null").c_str());
  const double wc = std::chrono::duration<double>(Clock::now() - start).count();

  start = Clock::now();
  const std::size_t bytes = zorvel::readWholeFile(name)->view().size();
  const double read = std::chrono::duration<double>(Clock::now() - start).count();

  Quiet quiet;
  double parse = 0;
  {
    const zorvel::Result<zorvel::FileText> text = zorvel::readWholeFile(name);
    start = Clock::now();
    zorvel::cachePathText(text->view(), quiet, zorvel::availableMemory());
    parse = std::chrono::duration<double>(Clock::now() - start).count();
  }

  start = Clock::now();
  zorvel::pathFilePixelCount(name);
  const bool cached = static_cast<bool>(zorvel::cachePathFile(name, quiet, zorvel::availableMemory()));
  const double cache = std::chrono::duration<double>(Clock::now() - start).count();

  std::printf("path file: %d pixels, %d frames, %.1f MB\n", pixels, frames, megabytes);
  std::printf("wc -l:        %.3f s\n", wc);
  std::printf("file read:    %.3f s (%zu bytes into memory)\n", read, bytes);
  std::printf("from memory:  %.3f s (the text already read)\n", parse);
  std::printf("viewer cache: %.3f s (%s), %.2f x wc -l\n", cache, cached ? "cached" : "REFUSED", cache / wc);
  fs::remove(name);
  return cached ? 0 : 1;
}
