#include "WholeFile.h"

#include <fstream>
#include <iterator>

namespace zorvel {

std::optional<std::string> readWholeFile(const std::string& fileName) {
  std::ifstream file(fileName, std::ios::binary);
  if (!file) return std::nullopt;
  file.seekg(0, std::ios::end);
  const std::streamoff size = file.tellg();
  file.seekg(0, std::ios::beg);
  std::string text;
  if (size > 0) {
    text.resize(static_cast<std::size_t>(size));
    file.read(text.data(), size);
    text.resize(static_cast<std::size_t>(file.gcount()));
  } else {
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  if (file.bad()) return std::nullopt;
  return text;
}

}  // namespace zorvel
