// The blender's readings, menu and frame building, run as the program with scripted
// input (its window replaced by nothing).

#include <gtest/gtest.h>

#include <sstream>

#include "blender/ConfigurationReading.h"
#include "tests/ConsoleTranscripts.h"
#include "tests/TestSupport.h"

namespace zorvel::test {
namespace {

const std::string kBlenderBanner = banner("Morvaine");
const std::string kTitle =
    "\n"
    "###############################################################\n"
    "#                                                             #\n"
    "#   # # # # # # # # # # # # # # # # # # # # # # # # # # # #   #\n"
    "#                                                             #\n"
    "#                                                             #\n"
    "#   #   #   ###   ####   #   #   ###   #####  #   #  #####    #\n"
    "#   ## ##  #   #  #   #  #   #  #   #    #    ##  #  #        #\n"
    "#   # # #  #   #  ####   #   #  #####    #    # # #  ####     #\n"
    "#   #   #  #   #  #  #    # #   #   #    #    #  ##  #        #\n"
    "#   #   #   ###   #   #    #    #   #  #####  #   #  #####    #\n"
    "#                                                             #\n"
    "#                                                             #\n"
    "#                                                             #\n"
    "#            # #   # #   # #   # #   # #   # #   #            #\n"
    "#                                                             #\n"
    "#   # # # # # # # # # # # # # # # # # # # # # # # # # # # #   #\n"
    "#                                                             #\n"
    "#                                                             #\n"
    "###############################################################\n"
    "\n"
    "Morvaine configuration file:";
const std::string kMenuWithB =
    "A. Specify an Morvaine configuration file.\nB. View animation.\nX. Exit Morvaine.\n\nMenu item:";
const std::string kMenuWithoutB = "A. Specify an Morvaine configuration file.\nX. Exit Morvaine.\n\nMenu item:";

std::string errorBox(const std::string& message) {
  return "------------MORVAINE FILE ERROR------------\n-------------------------------------------\n" + message +
         "\n\n";
}
const std::string kContainsErrors = errorBox("Specified Morvaine configuration file contains errors!");

std::string keyframeLines(int count) {
  std::string text;
  for (int k = 0; k < count; ++k)
    text += "---------------------------------------\nkeyframe: " + std::to_string(k) + "\n";
  return text;
}

class BlenderDialogue : public ::testing::Test {
 protected:
  BlenderDialogue() {
    folder.write("a.tga", colourTga(3, 2));
    folder.write("b.tga", colourTga(3, 2));
    folder.write("c.tga", colourTga(3, 2));
  }
  void expectTranscript(const std::string& input, const std::string& expected, const std::string& expectedErr = "") {
    const ProgramRun run = runProgram(ZORVEL_CONSOLE_BLENDER, folder.path(), input);
    EXPECT_EQ(run.out, kBlenderBanner + expected);
    EXPECT_EQ(run.err, expectedErr);
    EXPECT_EQ(run.status, 0);
  }
  std::string summary(const std::string& name) const { return imageSummary(name, 3, 2, 24); }
  ScratchFolder folder;
};

const std::string kTwoKeyframes =
    "#MORVAINE_CONFIGURATION_FILE\n#NUMBER_OF_KEYFRAMES 2\n#MINDISPLACEMENT 0.5\n#MAXDISPLACEMENT 6\n"
    "#IMAGEPATH a.tga #NUMBER_OF_INTERPOLATION_FRAMES 3\n#IMAGEPATH b.tga #NUMBER_OF_INTERPOLATION_FRAMES 4\n";

TEST_F(BlenderDialogue, AGoodReadingListsBAndBuildsTheFramesOnIt) {
  folder.write("two.cfg", kTwoKeyframes);
  expectTranscript("two.cfg\nb\n", kTitle + summary("a.tga") + summary("b.tga") + kMenuWithB + keyframeLines(2) +
                                       "OpenGL...Thank you for using Morvaine. Please come again.\n"
                                       "Press <ENTER> to exit...");
}

TEST_F(BlenderDialogue, OneLineAndOneWordPerLineReadAlike) {
  std::string oneLine = kTwoKeyframes, perWord = kTwoKeyframes;
  for (char& c : oneLine)
    if (c == '\n') c = ' ';
  for (char& c : perWord)
    if (c == ' ') c = '\n';
  folder.write("line.cfg", oneLine);
  folder.write("words.cfg", perWord);
  const std::string loaded = summary("a.tga") + summary("b.tga") + kMenuWithB;
  expectTranscript("line.cfg\na\nwords.cfg\nx\ny\n", kTitle + loaded + kTitle + loaded + kQuit + "\n");
}

TEST_F(BlenderDialogue, EachErrorBox) {
  folder.write("lower.cfg", "#morvaine_configuration_file\n");
  folder.write("empty.cfg", "");
  folder.write("order.cfg", "#MORVAINE_CONFIGURATION_FILE\n\n  #MINDISPLACEMENT 1\n");
  folder.write("zero.cfg", "#MORVAINE_CONFIGURATION_FILE #NUMBER_OF_KEYFRAMES 0\n");
  folder.write("big.cfg", "#MORVAINE_CONFIGURATION_FILE #NUMBER_OF_KEYFRAMES 65536\n");
  folder.write("letters.cfg", "#MORVAINE_CONFIGURATION_FILE #NUMBER_OF_KEYFRAMES 1 #MINDISPLACEMENT low\n");
  const std::string notConfig = errorBox("Specified file is not a Morvaine configuration file!");
  expectTranscript(
      "missing.cfg\na\nlower.cfg\na\nempty.cfg\na\norder.cfg\na\nzero.cfg\na\nbig.cfg\na\nletters.cfg\nb\n",
      kTitle + errorBox("Specified Morvaine configuration file failed to open!") + kMenuWithoutB + kTitle + notConfig +
          kMenuWithoutB + kTitle + notConfig + kMenuWithoutB + kTitle + kContainsErrors + kMenuWithoutB + kTitle +
          kContainsErrors + kMenuWithoutB + kTitle + kContainsErrors + kMenuWithoutB + kTitle + kContainsErrors +
          kMenuWithoutB + kNotDefined + kMenuWithoutB,
      "Morvaine: missing.cfg: no such file\n"
      "Morvaine: lower.cfg: not a Morvaine configuration file: #MORVAINE_CONFIGURATION_FILE expected, "
      "found \"#morvaine_configuration_file\" on line 1\n"
      "Morvaine: empty.cfg: not a Morvaine configuration file: #MORVAINE_CONFIGURATION_FILE expected, "
      "but the file is empty\n"
      "Morvaine: order.cfg: #NUMBER_OF_KEYFRAMES expected, found \"#MINDISPLACEMENT\" on line 3\n"
      "Morvaine: zero.cfg: the number of keyframes (1 to 65535) after #NUMBER_OF_KEYFRAMES expected, "
      "found \"0\" on line 1\n"
      "Morvaine: big.cfg: the number of keyframes (1 to 65535) after #NUMBER_OF_KEYFRAMES expected, "
      "found \"65536\" on line 1\n"
      "Morvaine: letters.cfg: a number after #MINDISPLACEMENT expected, found \"low\" on line 1\n");
}

TEST_F(BlenderDialogue, AFileEndingBeforeItsLastEntryIsCompleteLoadsWhatItHasAndFails) {
  folder.write(
      "short.cfg",
      "#MORVAINE_CONFIGURATION_FILE #NUMBER_OF_KEYFRAMES 3 #MINDISPLACEMENT 0 #MAXDISPLACEMENT 1\n"
      "#IMAGEPATH a.tga #NUMBER_OF_INTERPOLATION_FRAMES 2\n#IMAGEPATH b.tga #NUMBER_OF_INTERPOLATION_FRAMES 2\n");
  folder.write("nocount.cfg",
               "#MORVAINE_CONFIGURATION_FILE #NUMBER_OF_KEYFRAMES 1 #MINDISPLACEMENT 0 #MAXDISPLACEMENT 1\n"
               "#IMAGEPATH a.tga #NUMBER_OF_INTERPOLATION_FRAMES\n");
  expectTranscript("short.cfg\na\nnocount.cfg\nb\nx\ny\n",
                   kTitle + summary("a.tga") + summary("b.tga") + kContainsErrors + kMenuWithoutB + kTitle +
                       kContainsErrors + kMenuWithoutB + kNotDefined + kMenuWithoutB + kQuit + "\n",
                   "Morvaine: short.cfg: keyframe 3 of 3: #IMAGEPATH expected at the end of the file\n"
                   "Morvaine: nocount.cfg: keyframe 1 of 1: the number of in-between frames (0 to 65535) expected at "
                   "the end of the file\n");
}

TEST_F(BlenderDialogue, ASecondReadingReplacesTheFirstAlsoWithFewerKeyframes) {
  folder.write("two.cfg", kTwoKeyframes);
  folder.write("one.cfg",
               "#MORVAINE_CONFIGURATION_FILE #NUMBER_OF_KEYFRAMES 1 #MINDISPLACEMENT 0 #MAXDISPLACEMENT 1 "
               "#IMAGEPATH c.tga #NUMBER_OF_INTERPOLATION_FRAMES 5 and whatever follows is ignored\n");
  expectTranscript("two.cfg\na\none.cfg\nb\n", kTitle + summary("a.tga") + summary("b.tga") + kMenuWithB + kTitle +
                                                   summary("c.tga") + kMenuWithB + keyframeLines(1) +
                                                   "OpenGL...Thank you for using Morvaine. Please come again.\n"
                                                   "Press <ENTER> to exit...");
}

TEST_F(BlenderDialogue, AMissingImageReadsAsEmptyAndIsNamedAsNotMatching) {
  folder.write("gap.cfg",
               "#MORVAINE_CONFIGURATION_FILE #NUMBER_OF_KEYFRAMES 2 #MINDISPLACEMENT 0 #MAXDISPLACEMENT 1 "
               "#IMAGEPATH a.tga #NUMBER_OF_INTERPOLATION_FRAMES 1 #IMAGEPATH gone.tga "
               "#NUMBER_OF_INTERPOLATION_FRAMES 1\n");
  expectTranscript("gap.cfg\nb\n",
                   kTitle + summary("a.tga") + imageSummary("gone.tga", 0, 0, 0) +
                       "Keyframe image gone.tga is 0 x 0, not 3 x 2 as the first keyframe image: pixels it lacks "
                       "are black, pixels beyond are not used.\n" +
                       kMenuWithB + keyframeLines(2) +
                       "OpenGL...Thank you for using Morvaine. Please come again.\nPress <ENTER> to exit...",
                   "Morvaine: gone.tga: no such file\n");
}

TEST_F(BlenderDialogue, CountsThatAddUpToNoFramesAreErrors) {
  folder.write(
      "still.cfg",
      "#MORVAINE_CONFIGURATION_FILE #NUMBER_OF_KEYFRAMES 2 #MINDISPLACEMENT 0 #MAXDISPLACEMENT 1 "
      "#IMAGEPATH a.tga #NUMBER_OF_INTERPOLATION_FRAMES 0 #IMAGEPATH b.tga #NUMBER_OF_INTERPOLATION_FRAMES 0\n");
  expectTranscript("still.cfg\nx\nn\nx\ny\n",
                   kTitle + summary("a.tga") + summary("b.tga") + kContainsErrors + kMenuWithoutB + kQuit + "\n" +
                       kMenuWithoutB + kQuit + "\n",
                   "Morvaine: still.cfg: the numbers after #NUMBER_OF_INTERPOLATION_FRAMES add up to no frames to "
                   "play\n");
}

TEST_F(BlenderDialogue, KeyframesAndFramesBeyondTheMemoryGivenAreRefusedBeforeAnyPictureIsDecoded) {
  // 3 x 2 pixels, 2 + 2 frames: 4 x 6 x 20 bytes of frames, 6 x 4 of colours and 6 x 20
  // for decoding the one picture both keyframes show: 624 bytes.
  const std::string text =
      "#MORVAINE_CONFIGURATION_FILE #NUMBER_OF_KEYFRAMES 2 #MINDISPLACEMENT 0 #MAXDISPLACEMENT 1 "
      "#IMAGEPATH " +
      folder.file("a.tga") + " #NUMBER_OF_INTERPOLATION_FRAMES 2 #IMAGEPATH " + folder.file("a.tga") +
      " #NUMBER_OF_INTERPOLATION_FRAMES 2";
  BlenderConfig config;
  std::ostringstream out, err;
  const Result<void> refused = applyConfigurationText(config, text, out, err, "Morvaine", 623);
  EXPECT_FALSE(config.configLoaded);
  EXPECT_EQ(out.str(), "Keyframe image " + folder.file("a.tga") +
                           " (3 x 2) does not fit in memory: the keyframes and their frames need 0.1 MB, 0.0 MB are "
                           "available.\n");
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.failure().reason, folder.file("a.tga") +
                                          ": does not fit in memory: the keyframes and their frames need 0.1 MB, 0.0 "
                                          "MB are available");
  out.str("");
  err.str("");
  EXPECT_TRUE(applyConfigurationText(config, text, out, err, "Morvaine", 624));
  EXPECT_EQ(err.str(), "");
  EXPECT_TRUE(config.configLoaded);
  EXPECT_EQ(config.keyframes[0], config.keyframes[1]) << "one file named twice is decoded once";
  EXPECT_EQ(out.str(), imageSummary(folder.file("a.tga"), 3, 2, 24) + imageSummary(folder.file("a.tga"), 3, 2, 24));
}

TEST_F(BlenderDialogue, OnePictureNamedThousandsOfTimesIsDecodedOnceAndItsFramesRefusedUnderALimit) {
  if (!canLimitMemory()) GTEST_SKIP() << kNoMemoryLimit;
  folder.write("pic.tga", colourTga(100, 100));
  std::string text = "#MORVAINE_CONFIGURATION_FILE #NUMBER_OF_KEYFRAMES 3000 #MINDISPLACEMENT 0 #MAXDISPLACEMENT 1";
  for (int k = 0; k < 3000; ++k) text += " #IMAGEPATH pic.tga #NUMBER_OF_INTERPOLATION_FRAMES 1";
  folder.write("many.cfg", text);
  const ProgramRun run = runProgram(ZORVEL_CONSOLE_BLENDER, folder.path(), "many.cfg\nx\ny\n", memoryLimit(400));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err.rfind("Morvaine: pic.tga: does not fit in memory: the keyframes and their frames need 600 MB, ", 0),
            0u)
      << run.err;
  const std::string refusal =
      "Keyframe image pic.tga (100 x 100) does not fit in memory: the keyframes and their frames need 600 MB, ";
  ASSERT_EQ(run.out.find(kBlenderBanner + kTitle + refusal), 0u) << run.out.substr(0, 2000);
  const std::string end = " MB are available.\n" + kMenuWithoutB + kQuit + "\n";
  EXPECT_EQ(run.out.substr(run.out.size() - end.size()), end);
}

TEST_F(BlenderDialogue, EndOfInputAtTheFirstPromptEndsQuietly) { expectTranscript("", kTitle); }

}  // namespace
}  // namespace zorvel::test
