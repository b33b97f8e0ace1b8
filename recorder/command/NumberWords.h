#pragma once

// Numbers typed as words, on the command line or in a file of the recorder's.

#include <cmath>
#include <cstdlib>
#include <string>
#include <type_traits>

#include "common/TextGrammar.h"
#include "common/TextScanner.h"

namespace zorvel {

// A whole word that is a number, converted as the prompts convert what is typed: a
// float or a double as the grammar of numbers reads it (finite, within the type's
// range), a whole number as an integer.
template <class T>
bool wholeNumber(const std::string& word, T& value) {
  if constexpr (std::is_floating_point_v<T>) {
    const char* const begin = word.c_str();
    const char* const end = begin + word.size();
    if (word.empty() || numberEnd(begin, end) != end) return false;
    const T converted = std::is_same_v<T, float> ? std::strtof(begin, nullptr) : std::strtod(begin, nullptr);
    if (!std::isfinite(converted)) return false;
    value = converted;
    return true;
  } else {
    TextScanner scan(word);
    return !word.empty() && word[0] != '-' && scan.integer(value) && scan.atEnd();
  }
}

}  // namespace zorvel
