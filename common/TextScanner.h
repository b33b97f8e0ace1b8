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

#include "common/TextGrammar.h"

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
    while (end < text_.size() && !isWhiteSpace(text_[end])) ++end;
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

  // A decimal number into a float, as stream extraction reads it (the grammar of
  // TextGrammar.h: no nan, inf, hexadecimal or second sign). A value beyond the float
  // range fails, while one below it reads as the nearest float, zero included. Plain
  // decimals of up to seven digits take an exact fast path (a whole number divided by a
  // power of ten, both exact in a float, gives the correctly rounded value); the rest is
  // converted by strtof.
  bool number(float& value) {
    skipSpace();
    const char* begin = text_.data() + pos_;
    const char* end = numberEnd(begin, text_.data() + text_.size());
    if (end == begin) return false;
    const char* p = begin + (*begin == '-' || *begin == '+');
    std::uint32_t mantissa = 0;
    int digits = 0, fraction = -1;
    for (; p != end && digits <= 7; ++p) {
      if (*p == '.') {
        fraction = 0;
      } else if (isDecimalDigit(*p)) {
        mantissa = mantissa * 10 + static_cast<std::uint32_t>(*p - '0');
        ++digits;
        fraction += fraction >= 0;
      } else {
        break;  // an exponent
      }
    }
    if (p != end || digits > 7) return convert(begin, end, value);
    static constexpr float kPowers[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
    const float magnitude = static_cast<float>(mantissa) / kPowers[fraction < 0 ? 0 : fraction];
    value = *begin == '-' ? -magnitude : magnitude;
    pos_ = static_cast<std::size_t>(end - text_.data());
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

 private:
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
    while (pos_ < text_.size() && isWhiteSpace(text_[pos_])) ++pos_;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace zorvel
