#pragma once

// The prompts of the console dialogue that read a value: a number or a word.

#include <iosfwd>
#include <string>

namespace zorvel {

// Value prompts on a pair of streams. Each read prints its prompt (no line end) and
// returns false only when the input has ended; the caller then stops at once, printing
// nothing more.
class Prompter {
 public:
  Prompter(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

  // A number, read as formatted extraction reads it: `12abc` gives 12 and leaves `abc`
  // for the next read, and a number beyond the field's range gives the largest value of
  // its sign (the rest of that line then goes). Text that does not begin a number gets
  // the line `Not a number: "WORD".` (WORD: the text up to the next white space), the
  // rest of the line goes, and the prompt comes again, as often as needed.
  bool readNumber(const char* prompt, float& value);
  bool readNumber(const char* prompt, double& value);
  // One word: leading white space skipped, ends at the next white space.
  bool readWord(const char* prompt, std::string& word);

  std::istream& in() { return in_; }
  std::ostream& out() { return out_; }

 private:
  template <class T>
  bool readNumberAgain(const char* prompt, T& value);
  // Takes the rest of the input line, its line end included; false at the end of input.
  static bool discardLine(std::streambuf& in);

  std::istream& in_;
  std::ostream& out_;
};

}  // namespace zorvel
