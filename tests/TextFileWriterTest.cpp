// The text writer of the cruncher's files: numbers as the %g conversion writes them, and
// text of any length written whole.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>

#include "cruncher/TextFileWriter.h"
#include "tests/TestSupport.h"

namespace zorvel::test {
namespace {

// `value` as formatGeneral() writes it.
std::string general(float value, int precision) {
  char text[kMaxNumberText];
  return std::string(text, formatGeneral(text, value, precision));
}

TEST(NumberText, FloatsComeOutAsThePercentGConversionWritesThem) {
  std::mt19937 random(42);
  std::uniform_real_distribution<float> magnitude(-12.0f, 12.0f);
  std::vector<float> values = {0.0f, -0.0f, 1234.25f, 0.5f, -3.0f, 12.5f, 0.01f, 1e-5f, 123456.0f, 1e6f, 255.0f};
  for (int halves = -20010; halves <= 20010; halves += 3) values.push_back(halves * 0.5f);
  for (int i = 0; i < 2000; ++i) values.push_back(std::pow(10.0f, magnitude(random)) * (i % 2 ? 1.0f : -1.0f));
  for (float v : values) {
    for (int precision : {4, 6}) {
      char text[64];
      std::snprintf(text, sizeof text, "%.*g", precision, static_cast<double>(v == 0.0f ? 0.0f : v));
      ASSERT_EQ(general(v, precision), text) << "precision " << precision;
    }
  }
}

TEST(TextFile, TextLongerThanTheBufferIsWrittenWhole) {
  ScratchFolder folder;
  const std::string longText(3 << 20, 'x');
  {
    TextFileWriter file(folder.file("long"));
    file.put('<');
    file.put(longText);
    file.put('>');
    EXPECT_TRUE(file.close());
  }
  EXPECT_EQ(folder.read("long"), "<" + longText + ">");
  TextFileWriter nowhere(folder.file("no/such/folder/file"));
  EXPECT_FALSE(nowhere.isOpen());
  nowhere.put(longText);  // goes nowhere, and safely
  EXPECT_FALSE(nowhere.close());
}

TEST(TextFile, AWriterGivenUpBeforeItClosesLeavesTheEarlierFileAsItWas) {
  ScratchFolder folder;
  folder.write("p.pPath", "the earlier file\n");
  {
    TextFileWriter file(folder.file("p.pPath"));
    file.put(std::string(3 << 20, 'y'));  // more than a buffer: some of it reached the disk
  }
  EXPECT_EQ(folder.read("p.pPath"), "the earlier file\n");
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder.path())) names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"p.pPath"});
}

TEST(NumberText, WorkedExamplesAtFourAndSixDigits) {
  std::string text;
  for (float v : {1234.25f, 0.5f, -3.0f, -0.0f}) text += general(v, 4) + " ";
  for (float v : {12.5f, 0.01f, 255.0f}) text += general(v, 6) + " ";
  EXPECT_EQ(text, "1234 0.5 -3 0 12.5 0.01 255 ");
}

}  // namespace
}  // namespace zorvel::test
