#pragma once

// What formatted stream extraction takes as white space and as a number, in one place
// for every reader of text: the files' readers scan text in memory, the prompts read
// the console a character at a time.

namespace zorvel {

// The white space that separates words: blanks, tabs, line ends, vertical tabs, form
// feeds.
constexpr bool isWhiteSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

constexpr bool isDecimalDigit(int c) { return c >= '0' && c <= '9'; }

// The characters extraction takes for a floating-point number: an optional sign, digits
// with at most one decimal point, then an exponent (e or E, an optional sign, digits)
// only after a digit of the mantissa. Fed one character at a time, it says whether the
// character continues the number; once one does not, complete() says whether what was
// taken is a number (a mantissa with a digit; digits after an exponent mark).
class NumberGrammar {
 public:
  bool take(int c) {
    switch (part_) {
      case Part::Sign:
        part_ = Part::Mantissa;
        if (c == '+' || c == '-') return true;
        [[fallthrough]];
      case Part::Mantissa:
        if (isDecimalDigit(c)) return mantissaDigits_ = true;
        if (c == '.' && !point_) return point_ = true;
        if ((c == 'e' || c == 'E') && mantissaDigits_) {
          part_ = Part::ExponentSign;
          return true;
        }
        return false;
      case Part::ExponentSign:
        part_ = Part::Exponent;
        if (c == '+' || c == '-') return true;
        [[fallthrough]];
      case Part::Exponent: return isDecimalDigit(c) && (exponentDigits_ = true);
    }
    return false;
  }

  bool complete() const {
    return mantissaDigits_ && (part_ == Part::Sign || part_ == Part::Mantissa || exponentDigits_);
  }
  bool hasExponent() const { return part_ == Part::ExponentSign || part_ == Part::Exponent; }

 private:
  enum class Part { Sign, Mantissa, ExponentSign, Exponent };
  Part part_ = Part::Sign;
  bool point_ = false;
  bool mantissaDigits_ = false;
  bool exponentDigits_ = false;
};

// The end of the longest number that stands at the start of [begin, end), by the
// grammar above: `begin` when none does.
inline const char* numberEnd(const char* begin, const char* end) {
  NumberGrammar grammar;
  const char* p = begin;
  while (p != end && grammar.take(*p)) ++p;
  return grammar.complete() ? p : begin;
}

}  // namespace zorvel
