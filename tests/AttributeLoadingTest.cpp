// The viewer's reading of the cruncher's attribute files: colour, opacity and scale.

#include <gtest/gtest.h>

#include "tests/TestSupport.h"
#include "viewer/AttributeLoading.h"
#include "viewer/PathFileReader.h"

namespace zorvel::test {
namespace {

class AttributeFiles : public ::testing::Test {
 protected:
  ScratchFolder folder;
};

TEST_F(AttributeFiles, ColourValuesAreKeptAsReadEvenAboveAByte) {
  folder.write("c.pColor", "3\n300 2 3 4 \n5 6 7 8 \n9 10 11 12 \n");
  const Result<PixelColours> colours = readColourFile(folder.file("c.pColor"), 3);
  ASSERT_TRUE(colours);
  EXPECT_EQ(colours->red, (std::vector<std::int32_t>{300, 5, 9}));
  EXPECT_EQ(colours->alpha, (std::vector<std::int32_t>{4, 8, 12}));
}

TEST_F(AttributeFiles, AColourFileOfOneValuePerPixelIsGrey) {
  folder.write("g.pColor", "3\n0\n128\n255\n");
  const Result<PixelColours> colours = readColourFile(folder.file("g.pColor"), 3);
  ASSERT_TRUE(colours);
  EXPECT_EQ(colours->red, (std::vector<std::int32_t>{0, 128, 255}));
  EXPECT_EQ(colours->green, colours->red);
  EXPECT_EQ(colours->blue, colours->red);
  EXPECT_EQ(colours->alpha, (std::vector<std::int32_t>{255, 255, 255}));
}

TEST_F(AttributeFiles, EachKindOfBadAttributeFileFailsWithItsKind) {
  folder.write("odd.pColor", "3\n1 2\n3 4\n5 6\n");
  folder.write("short.pOpacity", "3\n1\n2\n");
  folder.write("bad.pScale", "3\n1\nx\n3\n");
  folder.write("two.pScale", "2\n1\n3\n");
  EXPECT_EQ(readColourFile(folder.file("odd.pColor"), 3).failure().kind, FailureKind::WrongFormat);
  EXPECT_EQ(readOpacityFile(folder.file("short.pOpacity"), 3).failure().kind, FailureKind::WrongFormat);
  EXPECT_EQ(readScaleFile(folder.file("bad.pScale"), 3, 1, 1).failure().kind, FailureKind::WrongFormat);
  EXPECT_EQ(readScaleFile(folder.file("two.pScale"), 3, 1, 1).failure().kind, FailureKind::CountMismatch);
  EXPECT_EQ(readScaleFile(folder.file("none.pScale"), 3, 1, 1).failure().kind, FailureKind::CannotOpen);
  EXPECT_EQ(readScaleFile("", 3, 1, 1).failure().kind, FailureKind::Undefined);
}

TEST_F(AttributeFiles, ScaleValuesMapOntoTheRangeWithoutClamping) {
  EXPECT_EQ(pixelScaleFor(0.0f, 1.0, 3.0), 1.0f);
  EXPECT_FLOAT_EQ(pixelScaleFor(255.0f, 1.0, 3.0), 3.0f);
  EXPECT_FLOAT_EQ(pixelScaleFor(127.5f, 1.0, 3.0), 2.0f);
  folder.write("s.pScale", "3\n0\n510\n127.5\n");
  const Result<std::vector<float>> scale = readScaleFile(folder.file("s.pScale"), 3, 1.0, 3.0);
  ASSERT_TRUE(scale);
  EXPECT_EQ(scale.value()[0], 1.0f);
  EXPECT_FLOAT_EQ(scale.value()[1], 5.0f);  // 510 lands outside the range
  EXPECT_FLOAT_EQ(scale.value()[2], 2.0f);
}

TEST_F(AttributeFiles, WithoutAPathFileEveryStageMatchesACountOfZero) {
  EXPECT_FALSE(pathFilePixelCount(folder.file("missing.pPath")));
  folder.write("zero.pOpacity", "0\n");
  EXPECT_TRUE(readOpacityFile(folder.file("zero.pOpacity"), 0));
}

}  // namespace
}  // namespace zorvel::test
