#pragma once

#include <optional>
#include <string>

namespace zorvel {

// The whole content of a file, or nothing when it cannot be opened or read.
std::optional<std::string> readWholeFile(const std::string& fileName);

}  // namespace zorvel
