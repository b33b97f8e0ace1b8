#pragma once

#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

namespace zorvel {

// Writes a text file through one large buffer, formatting numbers with std::to_chars.
// Floats come out as the %g conversion writes them (general notation with a precision),
// zero always as "0". Owns its FILE handle; not copyable.
class TextFileWriter {
 public:
  // Opens `path` for writing, replacing an existing file.
  explicit TextFileWriter(const std::string& path);
  ~TextFileWriter();
  TextFileWriter(const TextFileWriter&) = delete;
  TextFileWriter& operator=(const TextFileWriter&) = delete;

  bool isOpen() const { return file_ != nullptr; }

  void put(char c) {
    reserve(1);
    *end_++ = c;
  }
  void put(const std::string& text);
  template <class Integer>
  void putInteger(Integer value) {
    reserve(24);
    end_ = std::to_chars(end_, end_ + 24, value).ptr;
  }
  void putFloat(float value, int precision) {
    reserve(32);
    end_ = std::to_chars(end_, end_ + 32, value + 0.0f, std::chars_format::general, precision).ptr;
  }

  // Writes `text` over the start of the file, after everything buffered so far.
  void overwriteStart(const std::string& text);
  // Writes what is buffered and closes. True when every byte reached the file.
  bool close();

 private:
  void reserve(std::size_t n) {
    if (static_cast<std::size_t>(buffer_.data() + buffer_.size() - end_) < n) flush();
  }
  void flush();

  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
  char* end_ = nullptr;
  bool failed_ = false;
};

}  // namespace zorvel
