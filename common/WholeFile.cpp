#include "common/WholeFile.h"

#include <sys/mman.h>
#include <sys/stat.h>

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

Result<MappedFile> MappedFile::open(const std::string& fileName) {
  const Result<FileHandle> file = openReadable(fileName);
  if (!file) return file.failure();
  struct stat info {};
  const int fd = fileno(file.value().get());
  if (fstat(fd, &info) != 0)
    return failure(FailureKind::CannotOpen, std::string("cannot be read: ") + std::strerror(errno));
  const std::size_t size = static_cast<std::size_t>(info.st_size);
  if (size == 0) return MappedFile(nullptr, 0);
  void* data = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (data == MAP_FAILED)
    return failure(FailureKind::CannotOpen, std::string("cannot be read: ") + std::strerror(errno));
  return MappedFile(static_cast<const char*>(data), size);
}

MappedFile::MappedFile(MappedFile&& other) noexcept : data_(other.data_), size_(other.size_) {
  other.data_ = nullptr;
  other.size_ = 0;
}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
  std::swap(data_, other.data_);
  std::swap(size_, other.size_);
  return *this;
}

MappedFile::~MappedFile() {
  if (data_) munmap(const_cast<char*>(data_), size_);
}

Result<std::string> readFileStart(const std::string& fileName, std::size_t limit) {
  const Result<FileHandle> file = openReadable(fileName);
  if (!file) return file.failure();
  std::string text(limit, '\0');
  text.resize(std::fread(text.data(), 1, limit, file.value().get()));
  return text;
}

std::optional<std::pair<dev_t, ino_t>> fileIdentity(const std::string& fileName) {
  struct stat info {};
  if (::stat(fileName.c_str(), &info) != 0) return std::nullopt;
  return std::make_pair(info.st_dev, info.st_ino);
}

}  // namespace zorvel
