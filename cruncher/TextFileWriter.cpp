#include "cruncher/TextFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace zorvel {

namespace {

constexpr std::size_t kBufferBytes = 1 << 20;

// A new file next to `path`, named after it, opened for writing with the usual
// permissions; its name goes to `name`. Null when none can be made.
std::FILE* createTemporary(const std::string& path, std::string& name) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = path + ".tmp" + std::to_string(getpid()) + (attempt ? "-" + std::to_string(attempt) : "");
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fdopen(fd, "w");
    if (errno != EEXIST) break;
  }
  name.clear();
  return nullptr;
}

}  // namespace

TextFileWriter::TextFileWriter(const std::string& path) : path_(path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    // A device or a pipe takes the text as it comes; a folder cannot be written.
    if (!S_ISDIR(info.st_mode)) file_ = std::fopen(path.c_str(), "w");
  } else {
    file_ = createTemporary(path, temporary_);
  }
  buffer_.resize(isOpen() ? kBufferBytes : 64);
  end_ = buffer_.data();
}

TextFileWriter::~TextFileWriter() {
  // Not closed: the writing stopped part-way (memory ran out, say). What was written
  // goes; an earlier file of the name stays as it was.
  if (!file_) return;
  std::fclose(file_);
  if (!temporary_.empty()) std::remove(temporary_.c_str());
}

void TextFileWriter::flush() {
  const std::size_t n = static_cast<std::size_t>(end_ - buffer_.data());
  if (file_ && n > 0 && std::fwrite(buffer_.data(), 1, n, file_) != n) failed_ = true;
  end_ = buffer_.data();
}

void TextFileWriter::putDirectly(const char* text, std::size_t length) {
  flush();
  if (file_ && std::fwrite(text, 1, length, file_) != length) failed_ = true;
}

void TextFileWriter::overwriteStart(const std::string& text) {
  flush();
  if (!file_) return;
  if (std::fseek(file_, 0, SEEK_SET) != 0 || std::fwrite(text.data(), 1, text.size(), file_) != text.size())
    failed_ = true;
}

Result<void> TextFileWriter::close() {
  if (!file_) return failure(FailureKind::CannotWrite, "cannot be written");
  flush();
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  if (!temporary_.empty()) {
    if (!failed_ && std::rename(temporary_.c_str(), path_.c_str()) != 0) failed_ = true;
    if (failed_) std::remove(temporary_.c_str());
    temporary_.clear();
  }
  if (failed_) return failure(FailureKind::CannotWrite, "not every byte reached the file");
  return {};
}

}  // namespace zorvel
