#include "common/Prompter.h"

#include <cmath>
#include <cstdlib>
#include <istream>
#include <limits>
#include <ostream>
#include <type_traits>

#include "common/TextGrammar.h"

namespace zorvel {

namespace {

// The characters that formatted extraction of a floating-point number takes from `in`
// (see NumberGrammar), taken in the same way. Leading white space must have been
// skipped.
std::string takeNumberText(std::streambuf& in) {
  std::string text;
  NumberGrammar grammar;
  for (int c = in.sgetc(); c != EOF && grammar.take(c); c = in.snextc()) text.push_back(static_cast<char>(c));
  return text;
}

enum class Conversion { NotANumber, Number, BeyondRange };

// `text` converted as formatted extraction converts it: no number unless all of it
// converts; beyond the type's range, the largest value of its sign.
template <class T>
Conversion convertNumber(const std::string& text, T& value) {
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size()) return Conversion::NotANumber;
  if (std::fabs(v) > std::numeric_limits<T>::max()) {
    value = std::copysign(std::numeric_limits<T>::max(), static_cast<T>(v));
    return Conversion::BeyondRange;
  }
  value = std::is_same_v<T, float> ? std::strtof(text.c_str(), nullptr) : static_cast<T>(v);
  if (std::isinf(value)) {
    value = std::copysign(std::numeric_limits<T>::max(), value);
    return Conversion::BeyondRange;
  }
  return Conversion::Number;
}

}  // namespace

template <class T>
bool Prompter::readNumberAgain(const char* prompt, T& value) {
  std::streambuf& in = *in_.rdbuf();
  for (;;) {
    out_ << prompt << std::flush;
    // White space first, as extraction skips it; the end of input ends the program.
    int c = in.sgetc();
    while (c != EOF && isWhiteSpace(c)) c = in.snextc();
    if (c == EOF) {
      in_.setstate(std::ios::eofbit | std::ios::failbit);
      return false;
    }
    const std::string number = takeNumberText(in);
    const Conversion conversion = convertNumber(number, value);
    if (conversion == Conversion::Number) return true;
    if (conversion == Conversion::BeyondRange) {
      // Read as the largest value of its sign; the rest of that line goes, as after
      // any extraction that fails.
      discardLine(in);
      return true;
    }
    // Not a number: the word that stands there is named, the rest of the line goes, and
    // the prompt comes again.
    std::string word = number;
    for (c = in.sgetc(); c != EOF && !isWhiteSpace(c); c = in.snextc()) word.push_back(static_cast<char>(c));
    out_ << "Not a number: \"" << word << "\"." << '\n' << std::flush;
    if (!discardLine(in)) {
      in_.setstate(std::ios::eofbit | std::ios::failbit);
      return false;
    }
  }
}

bool Prompter::discardLine(std::streambuf& in) {
  for (int c = in.sgetc(); c != EOF; c = in.snextc())
    if (c == '\n') {
      in.sbumpc();
      return true;
    }
  return false;
}

bool Prompter::readNumber(const char* prompt, float& value) { return readNumberAgain(prompt, value); }
bool Prompter::readNumber(const char* prompt, double& value) { return readNumberAgain(prompt, value); }
bool Prompter::readWord(const char* prompt, std::string& word) {
  out_ << prompt << std::flush;
  return static_cast<bool>(in_ >> word);
}

}  // namespace zorvel
