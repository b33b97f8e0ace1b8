#include "common/WholeFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace zorvel {

Result<FileHandle> openReadable(const std::string& fileName) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(fileName, error);
  if (fileName.empty() || !fs::exists(status)) return failure(FailureKind::CannotOpen, "no such file");
  if (fs::is_directory(status)) return failure(FailureKind::CannotOpen, "a folder, not a file");
  if (!fs::is_regular_file(status)) return failure(FailureKind::CannotOpen, "not a plain file");
  FileHandle file(std::fopen(fileName.c_str(), "rb"));
  if (!file) return failure(FailureKind::CannotOpen, std::string("cannot be read: ") + std::strerror(errno));
  return file;
}

Result<FileText> readWholeFile(const std::string& fileName) {
  Result<FileHandle> opened = openReadable(fileName);
  if (!opened) return opened.failure();
  std::FILE* file = opened.value().get();
  // Grow the buffer geometrically: the size a file claims is not trusted (/proc).
  std::size_t capacity = 1 << 16, size = 0;
  if (std::fseek(file, 0, SEEK_END) == 0) {
    const long end = std::ftell(file);
    if (end > 0) capacity = static_cast<std::size_t>(end) + 1;
    std::rewind(file);
  }
  std::unique_ptr<char[]> bytes(new char[capacity]);
  for (;;) {
    size += std::fread(bytes.get() + size, 1, capacity - size, file);
    if (size < capacity) break;
    std::unique_ptr<char[]> larger(new char[capacity * 2]);
    std::copy(bytes.get(), bytes.get() + size, larger.get());
    bytes = std::move(larger);
    capacity *= 2;
  }
  if (std::ferror(file)) return failure(FailureKind::CannotOpen, "cannot be read");
  return FileText(std::move(bytes), size);
}

Result<std::string> readFileStart(const std::string& fileName, std::size_t limit) {
  const Result<FileHandle> file = openReadable(fileName);
  if (!file) return file.failure();
  std::string text(limit, '\0');
  text.resize(std::fread(text.data(), 1, limit, file.value().get()));
  return text;
}

}  // namespace zorvel
