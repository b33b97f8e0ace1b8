#include "WholeFile.h"

#include <cstdio>
#include <filesystem>
#include <vector>

namespace zorvel {

FileHandle openPlainFile(const std::string& fileName) {
  std::error_code error;
  if (fileName.empty() || !std::filesystem::is_regular_file(fileName, error)) return nullptr;
  return FileHandle(std::fopen(fileName.c_str(), "rb"));
}

std::optional<FileText> readWholeFile(const std::string& fileName) {
  const FileHandle file = openPlainFile(fileName);
  if (!file) return std::nullopt;
  // Grow the buffer geometrically: the size a file claims is not trusted (pipes, /proc).
  std::size_t capacity = 1 << 16, size = 0;
  std::unique_ptr<char[]> bytes(new char[capacity]);
  if (std::fseek(file.get(), 0, SEEK_END) == 0) {
    const long end = std::ftell(file.get());
    if (end > 0) capacity = static_cast<std::size_t>(end) + 1;
    std::rewind(file.get());
    bytes.reset(new char[capacity]);
  }
  for (;;) {
    size += std::fread(bytes.get() + size, 1, capacity - size, file.get());
    if (size < capacity) break;
    std::unique_ptr<char[]> larger(new char[capacity * 2]);
    std::copy(bytes.get(), bytes.get() + size, larger.get());
    bytes = std::move(larger);
    capacity *= 2;
  }
  if (std::ferror(file.get())) return std::nullopt;
  return FileText(std::move(bytes), size);
}

std::optional<std::string> readFileStart(const std::string& fileName, std::size_t limit) {
  const FileHandle file(std::fopen(fileName.c_str(), "rb"));
  if (!file) return std::nullopt;
  std::string text(limit, '\0');
  text.resize(std::fread(text.data(), 1, limit, file.get()));
  return text;
}

}  // namespace zorvel
