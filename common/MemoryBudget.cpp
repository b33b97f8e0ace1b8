#include "common/MemoryBudget.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>

namespace zorvel {

namespace {

// A "Name: <n> kB" field of a /proc file, in bytes; nothing when absent.
bool readKilobytes(const char* path, const char* name, std::uint64_t& bytes) {
  std::FILE* file = std::fopen(path, "r");
  if (!file) return false;
  char line[256];
  bool found = false;
  const std::size_t length = std::strlen(name);
  while (!found && std::fgets(line, sizeof line, file)) {
    unsigned long long kilobytes = 0;
    if (std::strncmp(line, name, length) == 0 && std::sscanf(line + length, " %llu", &kilobytes) == 1) {
      bytes = kilobytes * 1024;
      found = true;
    }
  }
  std::fclose(file);
  return found;
}

// Room left under a resource limit, given what the process already uses of it.
std::uint64_t roomUnder(int resource, std::uint64_t used) {
  rlimit limit{};
  if (getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
    return std::numeric_limits<std::uint64_t>::max();
  const std::uint64_t most = limit.rlim_cur;
  return most > used ? most - used : 0;
}

}  // namespace

std::uint64_t availableMemory() {
  std::uint64_t machine = 0;
  if (!readKilobytes("/proc/meminfo", "MemAvailable:", machine)) {
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long size = sysconf(_SC_PAGE_SIZE);
    machine = pages > 0 && size > 0 ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(size)
                                    : std::numeric_limits<std::uint64_t>::max();
  }
  std::uint64_t addressSpace = 0, data = 0;
  readKilobytes("/proc/self/status", "VmSize:", addressSpace);
  readKilobytes("/proc/self/status", "VmData:", data);
  return std::min({machine, roomUnder(RLIMIT_AS, addressSpace), roomUnder(RLIMIT_DATA, data)});
}

namespace {

std::string megabytes(std::uint64_t bytes, bool roundUp) {
  const std::uint64_t tenths = (bytes + (roundUp ? 99999 : 0)) / 100000;
  if (tenths >= 1000) return std::to_string(tenths / 10) + " MB";
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}

}  // namespace

std::string megabytesNeeded(std::uint64_t bytes) { return megabytes(bytes, true); }
std::string megabytesAvailable(std::uint64_t bytes) { return megabytes(bytes, false); }

bool attemptWithinMemory(const std::function<void()>& attempt) {
  try {
    attempt();
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace zorvel
