#include "TextFileWriter.h"

namespace zorvel {

namespace {
constexpr std::size_t kBufferBytes = 1 << 20;
}

TextFileWriter::TextFileWriter(const std::string& path) : file_(std::fopen(path.c_str(), "w")) {
  buffer_.resize(isOpen() ? kBufferBytes : 64);
  end_ = buffer_.data();
}

TextFileWriter::~TextFileWriter() { close(); }

void TextFileWriter::flush() {
  const std::size_t n = static_cast<std::size_t>(end_ - buffer_.data());
  if (file_ && n > 0 && std::fwrite(buffer_.data(), 1, n, file_) != n) failed_ = true;
  end_ = buffer_.data();
}

void TextFileWriter::overwriteStart(const std::string& text) {
  flush();
  if (!file_) return;
  if (std::fseek(file_, 0, SEEK_SET) != 0 || std::fwrite(text.data(), 1, text.size(), file_) != text.size())
    failed_ = true;
}

bool TextFileWriter::close() {
  if (!file_) return false;
  flush();
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  return !failed_;
}

}  // namespace zorvel
