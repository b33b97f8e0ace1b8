// The cruncher's setters, where they say more than the transcripts do.

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "cruncher/CruncherAttributes.h"

namespace zorvel::test {
namespace {

class CruncherSetters : public ::testing::Test {
 protected:
  std::string messages() {
    std::string text = out.str();
    out.str("");
    return text;
  }
  CruncherAttributes a;
  std::ostringstream out;
};

TEST_F(CruncherSetters, ScatterScalarTruncatesBeforeItsTests) {
  a.setScatterVolumeScalar({1.9f, 25.0f, 7.8f}, out);
  EXPECT_EQ(a.scatterVolumeScalar, (Vector3{2, 20, 7}));
  EXPECT_EQ(messages(),
            "Scatter volume scalar X lower than 2. Value modified to 2.\n"
            "Scatter volume scalar Y higher than 20. Value modified to 20.\n");
  a.setScatterVolumeScalar({20.9f, 2.0f, -4.0f}, out);
  EXPECT_EQ(a.scatterVolumeScalar, (Vector3{20, 2, 2}));
  EXPECT_EQ(messages(), "Scatter volume scalar Z lower than 2. Value modified to 2.\n");
}

TEST_F(CruncherSetters, OpacityIsAWholeNumberFromOneTo255) {
  a.setOpacityConstant(254.9f, out);
  EXPECT_EQ(a.pOpacityConstant, 254.0f);
  EXPECT_EQ(messages(), "");
  a.setOpacityConstant(0.5f, out);
  EXPECT_EQ(a.pOpacityConstant, 1.0f);
  EXPECT_EQ(messages(), "Pixel opacity constant lower than 1. Value modified to 1.\n");
}

TEST_F(CruncherSetters, BoundsThemselvesPassWithoutAMessage) {
  a.setVelocityConstant(0.01, out);
  a.setVelocityConstant(20.0, out);
  a.setVelocityMin(0.01, out);
  a.setVelocityMax(20.0, out);
  a.setScaleConstant(0.05f, out);
  a.setScaleConstant(20.0f, out);
  a.setHeightMaxConstant(50.0f, out);
  a.setOpacityConstant(255.0f, out);
  EXPECT_EQ(messages(), "");
  EXPECT_EQ(a.pVelocityMinConstant, 0.01);
  EXPECT_EQ(a.pVelocityMaxConstant, 20.0);
}

TEST_F(CruncherSetters, EqualMinAndMaxStayWithoutASwap) {
  a.setVelocityMin(3.0, out);
  a.setVelocityMax(3.0, out);
  EXPECT_EQ(messages(), "");
  EXPECT_EQ(a.pVelocityMinConstant, 3.0);
  EXPECT_EQ(a.pVelocityMaxConstant, 3.0);
}

TEST_F(CruncherSetters, HeightTruncatesTowardZeroAndNeverListsMinusZero) {
  a.setHeightMaxConstant(12.7f, out);
  EXPECT_EQ(a.pHeightMaxConstant, 12.0f);
  a.setHeightMaxConstant(-0.5f, out);
  EXPECT_EQ(messages(), "");
  EXPECT_FALSE(std::signbit(a.pHeightMaxConstant));
  std::ostringstream listing;
  a.pHeightMap = "h.tga";
  a.printListing(listing);
  EXPECT_NE(listing.str().find("pHeightMaxConstant:\t0\n"), std::string::npos);
}

}  // namespace
}  // namespace zorvel::test
