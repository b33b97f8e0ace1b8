#pragma once

// Opening and reading input files. Every opener here takes plain files only: a folder,
// a device or a pipe (which may never end) is refused like a missing file, and the
// failure says which it was.

#include <sys/types.h>

#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "common/Result.h"

namespace zorvel {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// The file opened for binary reading, or why not: "no such file", "a folder, not a
// file", "not a plain file", "cannot be read: <system's words>" (kind CannotOpen).
Result<FileHandle> openReadable(const std::string& fileName);

// The bytes of a whole file, read in one go into an uninitialised buffer.
class FileText {
 public:
  FileText(std::unique_ptr<char[]> bytes, std::size_t size) : bytes_(std::move(bytes)), size_(size) {}
  std::string_view view() const { return {bytes_.get(), size_}; }
  std::string str() const { return std::string(view()); }

 private:
  std::unique_ptr<char[]> bytes_;
  std::size_t size_;
};

// The whole content of a plain file, or why it cannot be had.
Result<FileText> readWholeFile(const std::string& fileName);

// A plain file mapped into memory, read-only: its bytes without a copy, the pages read
// in ahead. Owns the mapping; movable, not copyable.
class MappedFile {
 public:
  // The file mapped, or why it cannot be (as openReadable says, or the system's words).
  static Result<MappedFile> open(const std::string& fileName);
  MappedFile(MappedFile&& other) noexcept;
  MappedFile& operator=(MappedFile&& other) noexcept;
  ~MappedFile();

  std::string_view view() const { return {data_, size_}; }

 private:
  MappedFile(const char* data, std::size_t size) : data_(data), size_(size) {}
  const char* data_ = nullptr;
  std::size_t size_ = 0;
};

// The file a name leads to, links followed, as its device and inode: two names of one
// file have the same; none where there is no such file.
std::optional<std::pair<dev_t, ino_t>> fileIdentity(const std::string& fileName);

// At most the first `limit` bytes of a plain file, or why it cannot be opened.
Result<std::string> readFileStart(const std::string& fileName, std::size_t limit);

}  // namespace zorvel
