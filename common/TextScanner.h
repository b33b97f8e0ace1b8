#pragma once

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>

namespace zorvel {

// Reads whitespace-separated words and numbers from text in memory, accepting exactly
// what formatted stream extraction accepts: white space (blanks, tabs, line ends) is
// skipped before each item, a number is read from the longest prefix that forms one
// and the rest of the word is left for the next read. Each read returns false at the
// end of the text or where stream extraction would fail; the position then stays
// before the item.
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

  // A whole number, as stream extraction reads it: an optional sign, then decimal
  // digits. A value outside the type fails; a minus sign before an unsigned number
  // wraps it around, as the stream does.
  template <class Integer>
  bool integer(Integer& value) {
    static_assert(std::is_integral_v<Integer>);
    skipSpace();
    const char* p = text_.data() + pos_;
    const char* end = text_.data() + text_.size();
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    unsigned long long magnitude = 0;
    const auto digits = std::from_chars(p, end, magnitude);
    if (digits.ptr == p || digits.ec != std::errc()) return false;
    using Unsigned = std::make_unsigned_t<Integer>;
    const unsigned long long most = std::numeric_limits<Unsigned>::max();
    if constexpr (std::is_signed_v<Integer>) {
      const unsigned long long limit = static_cast<unsigned long long>(std::numeric_limits<Integer>::max()) + negative;
      if (magnitude > limit) return false;
      value = negative ? static_cast<Integer>(0 - static_cast<Unsigned>(magnitude)) : static_cast<Integer>(magnitude);
    } else {
      if (magnitude > most) return false;
      value = static_cast<Integer>(negative ? Unsigned(0) - static_cast<Unsigned>(magnitude) : magnitude);
    }
    pos_ = static_cast<std::size_t>(digits.ptr - text_.data());
    return true;
  }

  // A decimal number into a float, as stream extraction reads it: an optional sign,
  // digits with at most one decimal point, and an exponent (e or E, an optional sign,
  // digits) only after a digit; nothing else (no nan, inf, hexadecimal or second
  // sign). An exponent without digits fails; so does a value beyond the float range,
  // while one below it reads as the nearest float, zero included. Plain decimals of up
  // to seven digits take an exact fast path (a whole number divided by a power of ten,
  // both exact in a float, gives the correctly rounded value); the rest is converted by
  // strtof.
  bool number(float& value) {
    skipSpace();
    const char* begin = text_.data() + pos_;
    const char* end = text_.data() + text_.size();
    const char* p = begin;
    const bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    std::uint32_t mantissa = 0;
    int digits = 0, fraction = 0;
    bool point = false;
    for (; p != end; ++p) {
      if (isDigit(*p)) {
        if (digits < 9) mantissa = mantissa * 10 + static_cast<std::uint32_t>(*p - '0');
        ++digits;
        fraction += point;
      } else if (*p == '.' && !point) {
        point = true;
      } else {
        break;
      }
    }
    if (digits == 0) return false;
    if (p != end && (*p == 'e' || *p == 'E')) {
      ++p;
      if (p != end && (*p == '-' || *p == '+')) ++p;
      const char* exponent = p;
      while (p != end && isDigit(*p)) ++p;
      if (p == exponent) return false;
      return convert(begin, p, value);
    }
    if (digits > 7) return convert(begin, p, value);
    static constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
    const float magnitude = static_cast<float>(mantissa) / kPowers[fraction];
    value = negative ? -magnitude : magnitude;
    pos_ = static_cast<std::size_t>(p - text_.data());
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
  // The general conversion of the number text [begin, end), which has been checked.
  bool convert(const char* begin, const char* end, float& value) {
    const std::string number(begin, end);
    char* stop = nullptr;
    const float converted = std::strtof(number.c_str(), &stop);
    if (stop != number.c_str() + number.size() || std::isinf(converted)) return false;
    value = converted;
    pos_ = static_cast<std::size_t>(end - text_.data());
    return true;
  }
  void skipSpace() {
    while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace zorvel
