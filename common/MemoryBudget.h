#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace zorvel {

// The bytes this process can still get: the smallest of the machine's available
// memory (what the kernel reports it can hand out without swapping) and the room left
// under the process's address-space and data-size limits. Large allocations are checked
// against this figure before they are tried; functions that decide take it as a
// parameter, so that tests can give any figure.
std::uint64_t availableMemory();

// Runs `attempt`; false when memory ran out in it, which leaves what it built as an
// exception leaves it. The one place where running out of memory is caught.
bool attemptWithinMemory(const std::function<void()>& attempt);

// A size in megabytes (10^6 bytes) for the console: one decimal below 100 MB, whole
// numbers above; rounded up for what is needed and down for what is available, so that
// a refusal never reads as if the two were equal.
std::string megabytesNeeded(std::uint64_t bytes);
std::string megabytesAvailable(std::uint64_t bytes);
// Whole megabytes, rounded down.
inline std::uint64_t wholeMegabytes(std::uint64_t bytes) { return bytes / 1000000; }

}  // namespace zorvel
