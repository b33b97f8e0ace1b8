#pragma once

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/Result.h"

namespace zorvel {

// Room that formatGeneral() may use.
constexpr std::size_t kMaxNumberText = 32;

// Writes `value` at `to` as the %g conversion does with `precision` significant digits
// (zero always as "0") and returns the end. Whole and half units whose digits fit the
// precision, which fill path files, take a fast path; everything else std::to_chars.
inline char* formatGeneral(char* to, float value, int precision) {
  const float twice = value * 2.0f;
  if (twice > -20000.0f && twice < 20000.0f) {
    const int halves = static_cast<int>(twice);
    const bool half = halves % 2 != 0;
    unsigned whole = static_cast<unsigned>(halves < 0 ? -halves : halves) / 2;
    const int digits = whole >= 1000 ? 4 : whole >= 100 ? 3 : whole >= 10 ? 2 : 1;
    if (static_cast<float>(halves) == twice && digits + (half ? 1 : 0) <= precision) {
      if (halves < 0) *to++ = '-';
      char* last = to + digits;
      for (char* p = last; p != to; whole /= 10) *--p = static_cast<char>('0' + whole % 10);
      to = last;
      if (half) {
        *to++ = '.';
        *to++ = '5';
      }
      return to;
    }
  }
  return std::to_chars(to, to + kMaxNumberText, value + 0.0f, std::chars_format::general, precision).ptr;
}

// Writes a text file through one large buffer, formatting numbers with std::to_chars.
// A plain file is written under a temporary name in its folder and takes its own name
// only once every byte reached it, so a failed write leaves an earlier file of that
// name as it was; a device or pipe named as the file (/dev/null) is written directly.
// Owns its FILE handle; not copyable.
class TextFileWriter {
 public:
  // Opens `path` for writing; an existing file is replaced when close() succeeds.
  explicit TextFileWriter(const std::string& path);
  ~TextFileWriter();
  TextFileWriter(const TextFileWriter&) = delete;
  TextFileWriter& operator=(const TextFileWriter&) = delete;

  bool isOpen() const { return file_ != nullptr; }

  void put(char c) {
    reserve(1);
    *end_++ = c;
  }
  void put(const char* text, std::size_t length) {
    if (length >= kDirectWriteBytes) return putDirectly(text, length);
    reserve(length);
    std::memcpy(end_, text, length);
    end_ += length;
  }
  void put(const std::string& text) { put(text.data(), text.size()); }
  template <class Integer>
  void putInteger(Integer value) {
    reserve(24);
    end_ = std::to_chars(end_, end_ + 24, value).ptr;
  }

  // Writes `text` over the start of the file, after everything buffered so far.
  void overwriteStart(const std::string& text);
  // Writes what is buffered and closes, giving the file its name. Fails (CannotWrite)
  // unless every byte reached the file; the temporary file is then removed. A writer
  // destroyed without close() gives up what it wrote: the file of its name stays as it
  // was (a device or pipe written directly has had what was flushed).
  Result<void> close();

 private:
  // Makes room for n more characters, growing the buffer for a text longer than it.
  void reserve(std::size_t n) {
    if (static_cast<std::size_t>(buffer_.data() + buffer_.size() - end_) >= n) return;
    flush();
    if (buffer_.size() < n) {
      buffer_.resize(n);
      end_ = buffer_.data();
    }
  }
  void flush();
  // A long text goes to the file from where it is, after what is buffered.
  void putDirectly(const char* text, std::size_t length);
  static constexpr std::size_t kDirectWriteBytes = 1 << 16;

  std::FILE* file_ = nullptr;
  std::string path_;
  std::string temporary_;  // the name written under, when not `path_` itself
  std::vector<char> buffer_;
  char* end_ = nullptr;
  bool failed_ = false;
};

}  // namespace zorvel
