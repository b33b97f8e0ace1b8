#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zorvel {

// Reads whitespace-separated words and numbers from text in memory, as formatted stream
// extraction would: white space (blanks, tabs, line ends) is skipped before each item,
// a number is read from the longest prefix that forms one and the rest of the word is
// left for the next read. Each read returns false at the end of the text or when no
// number stands there; the position then stays before the item.
class TextScanner {
 public:
  explicit TextScanner(std::string_view text) : text_(text) {}

  bool word(std::string_view& out) {
    skipSpace();
    std::size_t end = pos_;
    while (end < text_.size() && !isSpace(text_[end])) ++end;
    if (end == pos_) return false;
    out = text_.substr(pos_, end - pos_);
    pos_ = end;
    return true;
  }
  bool skipWord() {
    std::string_view ignored;
    return word(ignored);
  }
  // Reads words up to and including `keyword`; false when the text ends first.
  bool skipPast(std::string_view keyword) {
    std::string_view w;
    while (word(w))
      if (w == keyword) return true;
    return false;
  }

  template <class Integer>
  bool integer(Integer& value) {
    skipSpace();
    const char* begin = text_.data() + pos_;
    const char* end = text_.data() + text_.size();
    if (begin != end && *begin == '+') ++begin;
    const auto result = std::from_chars(begin, end, value);
    if (result.ec != std::errc()) return false;
    pos_ = static_cast<std::size_t>(result.ptr - text_.data());
    return true;
  }

  // A decimal number into a float. Plain decimals of up to seven digits take an exact
  // fast path (a whole number divided by a power of ten, both exact in a float, gives
  // the correctly rounded value); everything else goes through std::from_chars.
  bool number(float& value) {
    skipSpace();
    const char* begin = text_.data() + pos_;
    const char* end = text_.data() + text_.size();
    const char* p = begin;
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    std::uint32_t mantissa = 0;
    int digits = 0, fraction = 0;
    for (; p != end && isDigit(*p); ++p, ++digits) mantissa = mantissa * 10 + static_cast<std::uint32_t>(*p - '0');
    if (p != end && *p == '.') {
      for (++p; p != end && isDigit(*p); ++p, ++digits, ++fraction)
        mantissa = mantissa * 10 + static_cast<std::uint32_t>(*p - '0');
    }
    const bool plain = digits > 0 && digits <= 7 && (p == end || (*p != 'e' && *p != 'E'));
    if (plain) {
      static constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
      const float magnitude = static_cast<float>(mantissa) / kPowers[fraction];
      value = negative ? -magnitude : magnitude;
      pos_ = static_cast<std::size_t>(p - text_.data());
      return true;
    }
    if (begin != end && *begin == '+') ++begin;
    const auto result = std::from_chars(begin, end, value);
    if (result.ec != std::errc()) return false;
    pos_ = static_cast<std::size_t>(result.ptr - text_.data());
    return true;
  }

  // Moves the read position `n` bytes forward (not past the end).
  void move(std::size_t n) { pos_ = n < text_.size() - pos_ ? pos_ + n : text_.size(); }
  bool atEnd() {
    skipSpace();
    return pos_ == text_.size();
  }
  std::size_t position() const { return pos_; }
  std::size_t remaining() const { return text_.size() - pos_; }

  // The white space that separates words: blanks, tabs, line ends, form feeds.
  static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

 private:
  static bool isDigit(char c) { return c >= '0' && c <= '9'; }
  void skipSpace() {
    while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace zorvel
