// The cruncher's console dialogue, run as the real program with scripted input.

#include <gtest/gtest.h>

#include "tests/CruncherTranscripts.h"
#include "tests/TestSupport.h"

namespace zorvel::test {
namespace {

class CruncherDialogue : public ::testing::Test {
 protected:
  void expectTranscript(const std::string& input, const std::string& expected, const std::string& shellPrefix = "") {
    const ProgramRun run = runProgram(ZORVEL_CRUNCHER, folder.path(), input, shellPrefix);
    EXPECT_EQ(run.out, kCruncherBanner + expected);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
  }
  ScratchFolder folder;
};

TEST_F(CruncherDialogue, QuitConfirmedAtTheFirstMenuEndsWithoutFarewell) {
  expectTranscript("x\ny\n", chosen(kMainMenu) + chosen(kQuit));
}

TEST_F(CruncherDialogue, QuitDeclinedShowsTheMainMenuWithAttributesUnchanged) {
  expectTranscript("x\nn\nc\nX\nY\n", chosen(kMainMenu) + chosen(kQuit) + chosen(kMainMenu) + defaultListing() +
                                          chosen(kMainMenu) + chosen(kQuit));
}

TEST_F(CruncherDialogue, EndOfInputAtAMenuEndsAtOncePrintingNothingMore) {
  expectTranscript("", kMainMenu);
  expectTranscript("a\n\n\n", chosen(kMainMenu) + kEssentialMenu);
}

TEST_F(CruncherDialogue, EndOfInputAtAValuePromptEndsAtOnce) {
  expectTranscript("b\nc\nmap.tga\n2\n", chosen(kMainMenu) + chosen(kMiscMenu) +
                                             "Velocity scalar map:Velocity scalar MIN:Velocity scalar MAX:");
  expectTranscript("x\n", chosen(kMainMenu) + kQuit);
}

TEST_F(CruncherDialogue, ListingShowsConstantsOnlyForDefinedMaps) {
  const std::string input =
      "a\na\nface.tga\nb\n3\n4\n5\nx\n"
      "b\na\nop.tga\nb\n100\nc\nvel.tga\n0.5\n5\ne\nscale.tga\nf\n2.5\ng\nheight.tga\n12\nx\n"
      "c\nx\ny\n";
  const std::string listing = kRule +
                              "pColorMap:\t\tface.tga\n\n"
                              "Scatter volume scalar:\t<<3, 4, 5>>\n\n"
                              "pOpacityMap:\t\top.tga\n"
                              "pOpacityConstant:\t100\n\n"
                              "pVelocityMap:\t\tvel.tga\n"
                              "pVelocityMinConstant:\t0.5\n"
                              "pVelocityMaxConstant:\t5\n\n"
                              "pHeightMap:\t\theight.tga\n"
                              "pHeightMaxConstant:\t12\n\n"
                              "pScaleMap:\t\tscale.tga\n"
                              "pScaleConstant:\t\t2.5\n" +
                              kRule + "\n";
  expectTranscript(input, chosen(kMainMenu) + chosen(kEssentialMenu) + "Color map:\n" + chosen(kEssentialMenu) +
                              "Scatter volume scalar X:Scatter volume scalar Y:Scatter volume scalar Z:\n" +
                              chosen(kEssentialMenu) + chosen(kMainMenu) + chosen(kMiscMenu) + "Opacity map:\n" +
                              chosen(kMiscMenu) + "Opacity constant:\n" + chosen(kMiscMenu) +
                              "Velocity scalar map:Velocity scalar MIN:Velocity scalar MAX:\n" + chosen(kMiscMenu) +
                              "Pixel scalar map:\n" + chosen(kMiscMenu) + "Pixel scalar constant:\n" +
                              chosen(kMiscMenu) + "Height map:Height map MAX:\n" + chosen(kMiscMenu) +
                              chosen(kMainMenu) + listing + chosen(kMainMenu) + chosen(kQuit));
}

TEST_F(CruncherDialogue, EveryClampPrintsItsMessageAndStoresTheBound) {
  const std::string input =
      "a\nb\n1.9\n25\n7.8\n"
      "x\nb\n"
      "b\n0.5\nb\n300\nb\n254.9\n"
      "d\n0.001\nd\n25\n"
      "c\nv.tga\n5\n2\nc\nv.tga\n30\n1\nc\nv.tga\n0\n0\n"
      "f\n-1\nf\n0.05\nf\n21\n"
      "g\nh.tga\n-3\ng\nh.tga\n75\ng\nh.tga\n-0.5\n"
      "x\nc\nx\ny\n";
  const std::string scatter = "Scatter volume scalar X:Scatter volume scalar Y:Scatter volume scalar Z:";
  const std::string velocityMap = "Velocity scalar map:Velocity scalar MIN:Velocity scalar MAX:";
  const std::string listing = kRule +
                              "pColorMap:\t\tUndefined\n\n"
                              "Scatter volume scalar:\t<<2, 20, 7>>\n\n"
                              "pOpacityMap:\t\tUndefined\n\n"
                              "pVelocityMap:\t\tv.tga\n"
                              "pVelocityMinConstant:\t0.01\n"
                              "pVelocityMaxConstant:\t0.01\n\n"
                              "pHeightMap:\t\th.tga\n"
                              "pHeightMaxConstant:\t0\n\n"
                              "pScaleMap:\t\tUndefined\n" +
                              kRule + "\n";
  expectTranscript(
      input,
      chosen(kMainMenu) + chosen(kEssentialMenu) + scatter +
          "Scatter volume scalar X lower than 2. Value modified to 2.\n"
          "Scatter volume scalar Y higher than 20. Value modified to 20.\n\n" +
          chosen(kEssentialMenu) + chosen(kMainMenu) + chosen(kMiscMenu) +
          "Opacity constant:" + "Pixel opacity constant lower than 1. Value modified to 1.\n\n" + chosen(kMiscMenu) +
          "Opacity constant:" + "Pixel opacity constant higher than 255. Value modified to 255.\n\n" +
          chosen(kMiscMenu) + "Opacity constant:\n" + chosen(kMiscMenu) + "Velocity scalar constant:" +
          "Pixel velocity scalar constant lower than 0.01. Value modified to 0.01.\n\n" + chosen(kMiscMenu) +
          "Velocity scalar constant:" + "Pixel velocity scalar constant higher than 20. Value modified to 20.\n\n" +
          chosen(kMiscMenu) + velocityMap +
          "Pixel velocity scalar constant MAX lower than MIN. Values of MIN & MAX switched.\n\n" + chosen(kMiscMenu) +
          velocityMap + "Pixel velocity scalar constant MIN higher than 20. Value modified to 20.\n" +
          "Pixel velocity scalar constant MAX lower than MIN. Values of MIN & MAX switched.\n\n" + chosen(kMiscMenu) +
          velocityMap + "Pixel velocity scalar constant MIN lower than 0.01. Value modified to 0.01.\n" +
          "Pixel velocity scalar constant MAX lower than 0.01. Value modified to 0.01.\n\n" + chosen(kMiscMenu) +
          "Pixel scalar constant:" + "Pixel scalar constant lower than 0.1. Value modified to 0.\n\n" +
          chosen(kMiscMenu) + "Pixel scalar constant:\n" + chosen(kMiscMenu) + "Pixel scalar constant:" +
          "Pixel scalar constant higher than 20. Value modified to 20.\n\n" + chosen(kMiscMenu) +
          "Height map:Height map MAX:" + "Height offset constant MAX lower than 0. Value modified to 0.\n\n" +
          chosen(kMiscMenu) +
          "Height map:Height map MAX:" + "Height offset constant MAX higher than 50. Value modified to 50.\n\n" +
          chosen(kMiscMenu) + "Height map:Height map MAX:\n" + chosen(kMiscMenu) + chosen(kMainMenu) + listing +
          chosen(kMainMenu) + chosen(kQuit));
}

TEST_F(CruncherDialogue, AnUndefinedItemInASubMenuLandsInTheMainMenu) {
  expectTranscript("a\ng\nb\n7\nx\ny\n", chosen(kMainMenu) + chosen(kEssentialMenu) + kNotDefined + chosen(kMainMenu) +
                                             chosen(kMiscMenu) + kNotDefined + chosen(kMainMenu) + chosen(kQuit));
}

TEST_F(CruncherDialogue, AnUnexpectedAnswerAtAConfirmationIsAnUndefinedItem) {
  expectTranscript("d\nq\nx\nk\nx\ny\n", chosen(kMainMenu) + chosen(kConfirm) + kNotDefined + chosen(kMainMenu) +
                                             chosen(kQuit) + kNotDefined + chosen(kMainMenu) + chosen(kQuit));
}

TEST_F(CruncherDialogue, TwoLettersOnOneLineChooseTwoItemsWithoutWaiting) {
  expectTranscript("cb\nx\nx\ny\n", chosen(kMainMenu) + defaultListing() + chosen(kMainMenu) + chosen(kMiscMenu) +
                                        chosen(kMainMenu) + chosen(kQuit));
}

TEST_F(CruncherDialogue, EmptyLinesAtPromptsAreSkipped) {
  expectTranscript("\n\na\n\n\nb\n\n3\n\n\n4 5\n\nx\n\nx\ny\n",
                   chosen(kMainMenu) + chosen(kEssentialMenu) +
                       "Scatter volume scalar X:Scatter volume scalar Y:Scatter volume scalar Z:\n" +
                       chosen(kEssentialMenu) + chosen(kMainMenu) + chosen(kQuit));
}

TEST_F(CruncherDialogue, AFileNameWithABlankKeepsOnlyItsFirstWord) {
  // "x" after the blank is read at the essential menu and shows the main menu.
  expectTranscript("a\na\nmy x\nc\nx\ny\n", chosen(kMainMenu) + chosen(kEssentialMenu) + "Color map:\n" +
                                                chosen(kEssentialMenu) + chosen(kMainMenu) + kRule +
                                                "pColorMap:\t\tmy\n" + defaultListing().substr(kRule.size() + 22) +
                                                chosen(kMainMenu) + chosen(kQuit));
}

TEST_F(CruncherDialogue, YesAtAConfirmationConfirmsAndLeavesTheRestForLaterReads) {
  // "yes": y confirms the run, whose colour check finds no image; e and s then meet
  // the main menu shown again.
  expectTranscript("d\nyes\nx\ny\n", chosen(kMainMenu) + chosen(kConfirm) + "Color-file: Undefined\n\n" +
                                         chosen(kMainMenu) + kNotDefined + chosen(kMainMenu) + kNotDefined +
                                         chosen(kMainMenu) + chosen(kQuit));
}

TEST_F(CruncherDialogue, ThousandsOfMenuStepsRunInARowOnASmallStack) {
  std::string input;
  std::string expected = chosen(kMainMenu);
  for (int i = 0; i < 3000; ++i) {
    input += "a\nx\n";
    expected += chosen(kEssentialMenu) + chosen(kMainMenu);
  }
  input += "x\ny\n";
  expected += chosen(kQuit);
  // 6,000 screens that called each other would need far more than 512 KiB of stack.
  expectTranscript(input, expected, "ulimit -s 512 &&");
}

}  // namespace
}  // namespace zorvel::test
