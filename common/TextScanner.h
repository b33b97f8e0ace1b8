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
  // range fails, while one below it reads as the nearest float, zero included. The
  // common number, a sign, up to seven digits and a decimal point, is read in one pass:
  // its digits m, below 10^7, times 10^-k in double precision round to the float nearest
  // to m / 10^k, as the general conversion gives it (the product is within 2^-52 of the
  // quotient, which lies at least 2^-48 from the midpoint between two floats, and never
  // on one). A number with an exponent or more digits goes through the grammar and the
  // general conversion.
  bool number(float& value) {
    skipSpace();
    const char* const begin = text_.data() + pos_;
    const char* const textEnd = text_.data() + text_.size();
    const char* p = begin;
    const bool negative = p != textEnd && *p == '-';
    if (p != textEnd && (*p == '-' || *p == '+')) ++p;
    // The whole part, then the fraction: two tight loops.
    std::uint32_t mantissa = 0;
    const char* const digitsStart = p;
    for (unsigned digit; p != textEnd && (digit = static_cast<unsigned char>(*p) - unsigned{'0'}) < 10; ++p)
      mantissa = mantissa * 10 + digit;
    int digits = static_cast<int>(p - digitsStart), fraction = 0;
    if (p != textEnd && *p == '.') {
      const char* const point = ++p;
      for (unsigned digit; p != textEnd && (digit = static_cast<unsigned char>(*p) - unsigned{'0'}) < 10; ++p)
        mantissa = mantissa * 10 + digit;
      fraction = static_cast<int>(p - point);
      digits += fraction;
    }
    // More digits than the exact path takes (the mantissa may have wrapped), or an
    // exponent: the general conversion.
    if (digits > 7 || (p != textEnd && (*p == 'e' || *p == 'E'))) return convert(begin, textEnd, value);
    if (digits == 0) return false;
    static constexpr double kInversePowers[] = {1e0, 1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7};
    const float magnitude = static_cast<float>(mantissa * kInversePowers[fraction]);
    value = negative ? -magnitude : magnitude;
    pos_ = static_cast<std::size_t>(p - text_.data());
    return true;
  }

  // The text from the next word on (white space skipped).
  std::string_view upcoming() {
    skipSpace();
    return {text_.data() + pos_, text_.size() - pos_};
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
  // The general conversion of the number the grammar finds at `begin`; rare in the files,
  // so kept out of the common path.
  [[gnu::noinline, gnu::cold]] bool convert(const char* begin, const char* textEnd, float& value) {
    const char* end = numberEnd(begin, textEnd);
    if (end == begin) return false;
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
