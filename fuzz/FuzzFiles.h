#pragma once

// The fuzz targets' files: the readers under test open files by name, so the input is
// written to a file of this process's own first.

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace zorvel::fuzz {

// A folder of this process's own, made once.
inline const std::string& scratchFolder() {
  static const std::string folder = [] {
    std::string name = "/tmp/zorvel-fuzz-" + std::to_string(getpid());
    mkdir(name.c_str(), 0700);
    return name;
  }();
  return folder;
}

// Writes `size` bytes at `data` to the file `name` in the scratch folder; returns its path.
inline std::string writeFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
  const std::string path = scratchFolder() + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file) {
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  return path;
}

}  // namespace zorvel::fuzz
