#pragma once

#include <cstdint>

namespace zorvel {

// The bytes this process can still get: the smallest of the machine's available
// memory (what the kernel reports it can hand out without swapping) and the room left
// under the process's address-space and data-size limits. Large allocations are checked
// against this figure before they are tried; functions that decide take it as a
// parameter, so that tests can give any figure.
std::uint64_t availableMemory();

}  // namespace zorvel
