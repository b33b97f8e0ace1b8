#pragma once

// The console's shared texts: how a line is printed, the rule lines that frame listings,
// summaries and boxes, and the start-up banner of the three programs.

#include <iosfwd>
#include <string>

namespace zorvel {

// The forty-hyphen rule that frames listings and image summaries.
extern const char* const kRuleLine;
// The forty-three-hyphen rule under the titles of the RTG and configuration boxes.
extern const char* const kBoxRuleLine;
// The thirty-nine-hyphen rule above each keyframe's line as the blender builds its frames.
extern const char* const kKeyframeRuleLine;

// Prints `text`, a newline, and flushes.
void printLine(std::ostream& out, const std::string& text = std::string());

// A whole number with its thousands grouped by commas: 20000 as "20,000".
std::string groupedThousands(unsigned long long value);

// A file name as listings show it: "Undefined" when it is empty.
const char* nameOrUndefined(const std::string& name);

// The line on the error stream that says why an input file failed, in plain words:
// "<program>: <file>: <reason>".
void printReason(std::ostream& err, const char* program, const std::string& file, const std::string& reason);

// The lines about an attribute (a value for every pixel, from a file or a map) that
// both the cruncher and the viewer print in the same shape; each program's wording.
struct AttributeLines {
  const char* undefined;         // none was named: "pOpacity-file: Undefined"
  const char* undefinedDefault;  // what every pixel takes then
  const char* cannotOpen;        // the one named does not open
  const char* defaulted;         // what every pixel takes when the one named is not used
};

// An attribute not used: the line `why`, the line of the default every pixel takes
// instead, and an empty line.
void printNotUsed(std::ostream& out, const std::string& why, const char* defaulted);

// The start-up banner: "<program> v1.0 beta1 provided by Tavrin", the fan-mail line
// with the author's address, and an empty line.
void printBanner(std::ostream& out, const char* program);

}  // namespace zorvel
