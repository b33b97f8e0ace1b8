#pragma once

// The fuzz targets' files: the readers under test open files by name, so the input is
// written to a file of this process's own first.

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace zorvel::fuzz {

// A folder of this process's own, made on first use and removed, with its files, when
// the process exits normally (a crash leaves it behind, with the input that crashed).
class ScratchFolder {
 public:
  ScratchFolder() : path_("/tmp/zorvel-fuzz-" + std::to_string(getpid())) { mkdir(path_.c_str(), 0700); }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

inline const std::string& scratchFolder() {
  static const ScratchFolder folder;
  return folder.path();
}

// Writes `size` bytes at `data` to the file `name` in the scratch folder; returns its path.
inline std::string writeFile(const std::string& name, const std::uint8_t* data, std::size_t size) {
  std::string path = scratchFolder() + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file) {
    if (size > 0) std::fwrite(data, 1, size, file);
    std::fclose(file);
  }
  return path;
}

}  // namespace zorvel::fuzz
