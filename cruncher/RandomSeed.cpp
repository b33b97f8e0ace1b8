#include <ctime>

#include "cruncher/RandomGenerator.h"

namespace zorvel {

std::uint32_t randomSeed() { return static_cast<std::uint32_t>(std::time(nullptr)); }

}  // namespace zorvel
