// Memory freed after a picture is kept for the next one, and goes back to the system
// when handed back.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "playback/MemoryReuse.h"

namespace zorvel {
namespace {

// This process's resident size in MB; negative when it cannot be read.
double residentMegabytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  return -1.0;
}

TEST(MemoryReuse, FreedMemoryIsKeptForTheNextPictureUntilHandedBack) {
#ifdef ZORVEL_SANITIZED
  GTEST_SKIP() << "the sanitizer build's allocator keeps and returns memory its own way";
#endif
  keepFreedMemoryForReuse();
  const double before = residentMegabytes();
  ASSERT_GT(before, 0.0);
  // 64 MB in blocks of 32 KB, which the heap serves, every byte written.
  constexpr std::size_t kBlock = std::size_t{32} * 1024, kBlocks = 2048;
  std::vector<unsigned char*> blocks;
  std::size_t written = 0;  // the blocks read back as written, so that the writes stay
  for (std::size_t i = 0; i < kBlocks; ++i) {
    auto* block = static_cast<unsigned char*>(std::malloc(kBlock));
    ASSERT_NE(block, nullptr);
    std::memset(block, 1, kBlock);
    written += block[i % kBlock];
    blocks.push_back(block);
  }
  for (unsigned char* block : blocks) std::free(block);
  ASSERT_EQ(written, kBlocks);
  EXPECT_GT(residentMegabytes() - before, 48.0) << "the freed memory went back to the system at once";
  returnKeptMemory();
  EXPECT_LT(residentMegabytes() - before, 16.0) << "the kept memory stayed after it was handed back";
}

}  // namespace
}  // namespace zorvel
