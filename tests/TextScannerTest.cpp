// The readers' number reading, held against formatted stream extraction itself: the
// same texts accepted, the same values, the same rest left for the next read.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>
#include <vector>

#include "common/TextScanner.h"

namespace zorvel::test {
namespace {

// A float's bits: equal bits are the same float, -0 and +0 apart.
std::uint32_t bitsOf(float value) {
  std::uint32_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// What stream extraction makes of `text`: whether it read a T, the value, and the
// text left after it.
template <class T>
struct Extraction {
  bool ok = false;
  T value{};
  std::string rest;
};

template <class T>
Extraction<T> byStream(const std::string& text) {
  std::istringstream in(text);
  Extraction<T> e;
  e.ok = static_cast<bool>(in >> e.value);
  in.clear();
  std::getline(in, e.rest, '\0');
  return e;
}

template <class T>
Extraction<T> byScanner(const std::string& text) {
  TextScanner scan(text);
  Extraction<T> e;
  if constexpr (std::is_floating_point_v<T>)
    e.ok = scan.number(e.value);
  else
    e.ok = scan.integer(e.value);
  e.rest = text.substr(scan.position());
  return e;
}

const char* const kNumberTexts[] = {"0",
                                    "-0",
                                    "+5",
                                    "12",
                                    "-3.5",
                                    "0.5",
                                    ".5",
                                    "5.",
                                    "1.e5",
                                    "1E-3",
                                    "1e+2",
                                    "00001.5",
                                    "1234.25",
                                    "12abc",
                                    "1.5.5",
                                    "1e5.5",
                                    "3e",
                                    "1e+",
                                    "e5",
                                    ".",
                                    "-.",
                                    "+",
                                    "-",
                                    "+-5",
                                    "--1",
                                    "nan",
                                    "-nan",
                                    "inf",
                                    "infinity",
                                    "0x10",
                                    "0x1p3",
                                    "1e50",
                                    "-1e50",
                                    "1e-50",
                                    "7e-46",
                                    "1e-45",
                                    "3.4028236e38",
                                    "1.17549435e-38",
                                    "0.1234567",
                                    "12345678",
                                    "99999999999999999999",
                                    "-2147483648",
                                    "2147483648",
                                    "4294967295",
                                    "4294967296",
                                    "-4294967295",
                                    "18446744073709551616",
                                    "  \t\n 42",
                                    "",
                                    "   "};

TEST(NumberReading, AcceptsExactlyWhatStreamExtractionAccepts) {
  for (const char* text : kNumberTexts) {
    SCOPED_TRACE(std::string("\"") + text + "\"");
    const Extraction<float> stream = byStream<float>(text), scanner = byScanner<float>(text);
    EXPECT_EQ(scanner.ok, stream.ok);
    if (!stream.ok) continue;
    EXPECT_EQ(bitsOf(scanner.value), bitsOf(stream.value)) << scanner.value << " " << stream.value;
    EXPECT_EQ(scanner.rest, stream.rest);
  }
  for (const char* text : kNumberTexts) {
    SCOPED_TRACE(std::string("\"") + text + "\"");
    const Extraction<std::int32_t> signedStream = byStream<std::int32_t>(text);
    const Extraction<std::int32_t> signedScanner = byScanner<std::int32_t>(text);
    EXPECT_EQ(signedScanner.ok, signedStream.ok);
    if (signedStream.ok) {
      EXPECT_EQ(signedScanner.value, signedStream.value);
      EXPECT_EQ(signedScanner.rest, signedStream.rest);
    }
    const Extraction<std::uint32_t> unsignedStream = byStream<std::uint32_t>(text);
    const Extraction<std::uint32_t> unsignedScanner = byScanner<std::uint32_t>(text);
    EXPECT_EQ(unsignedScanner.ok, unsignedStream.ok);
    if (unsignedStream.ok) {
      EXPECT_EQ(unsignedScanner.value, unsignedStream.value);
      EXPECT_EQ(unsignedScanner.rest, unsignedStream.rest);
    }
  }
}

TEST(NumberReading, EveryNumberOfFourDigitsGivesTheFloatStrtofGives) {
  // Every number the cruncher can write for a coordinate has at most four significant
  // digits: each of them, with the point at every place (leading zeros up to seven
  // digits) and in exponent form, either sign.
  for (int m = 0; m < 10000; ++m) {
    const std::string digits = std::to_string(m);
    std::vector<std::string> texts;
    for (std::size_t zeros = 0; zeros + digits.size() <= 7; ++zeros) {
      const std::string all = std::string(zeros, '0') + digits;
      for (std::size_t point = 1; point <= all.size(); ++point)
        texts.push_back(all.substr(0, point) + (point < all.size() ? "." + all.substr(point) : ""));
    }
    for (const char* exponent : {"e-45", "e-38", "e-05", "e+04", "e+38"}) texts.push_back(digits + exponent);
    for (const std::string& unsigned_ : texts) {
      for (const std::string& text : {unsigned_, "-" + unsigned_}) {
        TextScanner scan(text);
        float read = 0;
        char* end = nullptr;
        const float general = std::strtof(text.c_str(), &end);
        if (std::isinf(general)) {
          EXPECT_FALSE(scan.number(read)) << text;
          continue;
        }
        ASSERT_TRUE(scan.number(read)) << text;
        ASSERT_EQ(bitsOf(read), bitsOf(general)) << text << ": " << read << " against " << general;
      }
    }
  }
}

TEST(NumberReading, ShortDecimalsGiveTheFloatsStrtofGives) {
  // Decimals of one to seven digits with the point anywhere, either sign, as path
  // files hold them; the fast path must round exactly as the general conversion does.
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> length(1, 7), digit(0, 9), coin(0, 1);
  for (int i = 0; i < 300000; ++i) {
    std::string text = coin(random) ? "-" : "";
    const int digits = length(random);
    const int point = std::uniform_int_distribution<int>(0, digits)(random);
    for (int d = 0; d < digits; ++d) {
      if (d == point && d > 0) text += '.';
      text += static_cast<char>('0' + digit(random));
    }
    TextScanner scan(text);
    float fast = 0;
    ASSERT_TRUE(scan.number(fast)) << text;
    const float general = std::strtof(text.c_str(), nullptr);
    ASSERT_EQ(bitsOf(fast), bitsOf(general)) << text << ": " << fast << " against " << general;
  }
}

}  // namespace
}  // namespace zorvel::test
