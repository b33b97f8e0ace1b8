#include "common/ConsoleText.h"

#include <ostream>

namespace zorvel {

const char* const kRuleLine = "----------------------------------------";
const char* const kBoxRuleLine = "-------------------------------------------";
const char* const kKeyframeRuleLine = "---------------------------------------";

void printLine(std::ostream& out, const std::string& text) { out << text << '\n' << std::flush; }

std::string groupedThousands(unsigned long long value) {
  std::string digits = std::to_string(value);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return digits;
}

const char* nameOrUndefined(const std::string& name) { return name.empty() ? "Undefined" : name.c_str(); }

void printReason(std::ostream& err, const char* program, const std::string& file, const std::string& reason) {
  err << program << ": " << file << ": " << reason << std::endl;
}

void printNotUsed(std::ostream& out, const std::string& why, const char* defaulted) {
  printLine(out, why);
  printLine(out, defaulted);
  printLine(out);
}

void printBanner(std::ostream& out, const char* program) {
  printLine(out, std::string(program) + " v1.0 beta1 provided by Tavrin");
  printLine(out, "Please direct your fanmail to \"tavrin@zorvel.example\"");
  printLine(out);
}

}  // namespace zorvel
