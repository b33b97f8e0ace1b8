// The viewer's console dialogue and loading lines, run as the program with scripted
// input (its window replaced by nothing).

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/TestSupport.h"
#include "tests/ViewerTranscripts.h"

namespace zorvel::test {
namespace {

// Two pixels, three frames.
const std::string kPath = "2 3\n\n0\n-2 1 0\n3 0 0\n1\n-1 1 0\n2 0 0\n2\n-0.5 0 0\n0.5 0 0\n";

class ViewerDialogue : public ::testing::Test {
 protected:
  void expectTranscript(const std::string& input, const std::string& expected, const std::string& expectedErr = "",
                        const std::string& shellPrefix = "") {
    const ProgramRun run = runProgram(ZORVEL_CONSOLE_VIEWER, folder.path(), input, shellPrefix);
    EXPECT_EQ(run.out, kViewerBanner + expected);
    EXPECT_EQ(run.err, expectedErr);
    EXPECT_EQ(run.status, 0);
  }
  ScratchFolder folder;
};

TEST_F(ViewerDialogue, APathFileAloneIsEnoughToPlay) {
  folder.write("p.pPath", kPath);
  expectTranscript("a\np.pPath\ng\ny\n", kViewerMenu + "pPath-file:\n" + kViewerMenu + kConfirm + kAllUndefined +
                                             caching(2, 3) + "OpenGL...");
}

TEST_F(ViewerDialogue, MissingShortAndGoodAttributeFilesPrintTheirStageLines) {
  folder.write("p.pPath", kPath);
  folder.write("good.pColor", "2\n1 2 3 4\n5 6 7 8\n");
  folder.write("short.pOpacity", "3\n1\n2\n3\n");
  folder.write("good.pScale", "2\n0\n255\n");
  folder.write("good.pOpacity", "2\n9\n9\n");
  const std::string input1 = "a\np.pPath\nc\nmissing.pColor\nd\nshort.pOpacity\ne\ngood.pScale\n1\n3\ng\ny\n";
  expectTranscript(input1,
                   kViewerMenu + "pPath-file:\n" + kViewerMenu + "pColor-file:\n" + kViewerMenu + "pOpacity-file:\n" +
                       kViewerMenu + "pScale-file:\nPixel scalar MIN:Pixel scalar MAX:" + kViewerMenu + kConfirm +
                       stageLines("Attempt to open specified pColor-file failed.", "Pixel color defaulted to white.") +
                       stageLines("Number of pixels in pOpacity-file is not equal to number of pixels in "
                                  "pPath-file.",
                                  "Pixel opacity defaulted to 255.") +
                       "Caching pScale-file...done\n\n" + caching(2, 3) + "OpenGL...",
                   "Zorvel-viewer: missing.pColor: no such file\n"
                   "Zorvel-viewer: short.pOpacity: counts 3 pixels where the pPath-file has 2\n");
  const std::string input2 = "a\np.pPath\nc\ngood.pColor\nd\ngood.pOpacity\ne\nmissing\n1\n1\ng\ny\n";
  expectTranscript(input2,
                   kViewerMenu + "pPath-file:\n" + kViewerMenu + "pColor-file:\n" + kViewerMenu + "pOpacity-file:\n" +
                       kViewerMenu + "pScale-file:\nPixel scalar MIN:Pixel scalar MAX:" + kViewerMenu + kConfirm +
                       "Caching pColor-file...done\n\n" + "Caching pOpacity-file...done\n\n" +
                       stageLines("Attempt to open specified pScale-file failed.", "Pixel scale defaulted to 1.0.") +
                       caching(2, 3) + "OpenGL...",
                   "Zorvel-viewer: missing: no such file\n");
}

TEST_F(ViewerDialogue, CountsThatDifferAreReportedPerFile) {
  folder.write("p.pPath", kPath);
  folder.write("one.pColor", "1\n1 2 3 4\n");
  folder.write("one.pScale", "1\n7\n");
  expectTranscript("a\np.pPath\nc\none.pColor\ne\none.pScale\n1\n2\ng\ny\n",
                   kViewerMenu + "pPath-file:\n" + kViewerMenu + "pColor-file:\n" + kViewerMenu +
                       "pScale-file:\nPixel scalar MIN:Pixel scalar MAX:" + kViewerMenu + kConfirm +
                       stageLines("Number of pixels in pColor-file is not equal to number of pixels in pPath-file.",
                                  "Pixel color defaulted to white.") +
                       kOpacityUndefined +
                       stageLines("Number of pixels in pScale-file is not equal to number of pixels in pPath-file.",
                                  "Pixel scale defaulted to 1.0.") +
                       caching(2, 3) + "OpenGL...",
                   "Zorvel-viewer: one.pColor: counts 1 pixels where the pPath-file has 2\n"
                   "Zorvel-viewer: one.pScale: counts 1 pixels where the pPath-file has 2\n");
}

TEST_F(ViewerDialogue, APathFileFailureShowsTheMenuOnceMoreAndSaysFarewell) {
  expectTranscript("g\ny\nf\ng\ny\n\n", kViewerMenu + kConfirm + kAllUndefined +
                                            "Attempt to open specified pPath-file failed.\n\n" + kViewerMenu +
                                            "\n----------------------------------------\n"
                                            "pPathFile:\t\tUndefined\nRTG-file:\t\tUndefined\n"
                                            "pColorFile:\t\tUndefined\npOpacityFile:\t\tUndefined\n"
                                            "pScaleFile:\t\tUndefined\n"
                                            "----------------------------------------\n\n" +
                                            kViewerMenu + kConfirm + kViewerFarewell);
}

TEST_F(ViewerDialogue, UnplayablePathFilesAreRefusedWithTheirReason) {
  struct Case {
    const char* content;
    const char* reason;
  };
  for (const Case c :
       {Case{"2 0\n", "holds no frames (frame count 0)"}, Case{"2 -4\n", "holds no frames (frame count -4)"},
        Case{"two frames\n", "has no readable pixel and frame counts"},
        Case{"20000 900000000\n\n0\n1 2 3\n", "is too short for 20000 pixels in 900000000 frames"},
        Case{"4000000000 1\n", "is too short for 4000000000 pixels in 1 frames"},
        Case{"2 3\n\n0\n1 2", "is too short for 2 pixels in 3 frames"},
        Case{"2 1\n\n0\n1 2 3 4 5 x y z\n", "ends inside frame 0: there is no complete frame to play"}}) {
    SCOPED_TRACE(c.content);
    folder.write("bad.pPath", c.content);
    std::string loading = kAllUndefined;
    if (std::string(c.content).rfind("2 1", 0) == 0)
      loading += "Number of pixels: 2\nNumber of frames: 1\nCaching frame 0...incomplete\n";
    expectTranscript("a\nbad.pPath\ng\ny\nx\ny\n",
                     kViewerMenu + "pPath-file:\n" + kViewerMenu + kConfirm + loading + "pPath-file " + c.reason +
                         ".\n\n" + kViewerMenu + kQuit,
                     std::string("Zorvel-viewer: bad.pPath: ") + c.reason + "\n");
  }
}

TEST_F(ViewerDialogue, ATruncatedPathFilePlaysItsCompleteFrames) {
  folder.write("p.pPath", kPath.substr(0, kPath.size() - 8));
  expectTranscript("a\np.pPath\ng\ny\n",
                   kViewerMenu + "pPath-file:\n" + kViewerMenu + kConfirm + kAllUndefined +
                       "Number of pixels: 2\nNumber of frames: 3\nCaching frame 0...done\nCaching frame 1...done\n"
                       "Caching frame 2...incomplete\n"
                       "pPath-file ends inside frame 2: playing the 2 complete frames.\nOpenGL...");
}

TEST_F(ViewerDialogue, APathFileCutShortByAFullDiskPlaysItsCompleteFrames) {
  // The header promises 138 frames of 2,500 pixels; the disk filled up after 20 frames
  // and a few lines of the next.
  std::string text = "2500 138       \n\n";
  for (int f = 0; f < 20; ++f) {
    text += std::to_string(f) + "\n";
    for (int p = 0; p < 2500; ++p) text += "0 0 0\n";
  }
  text += "20\n0 0 0\n0 0";
  folder.write("cut.pPath", text);
  std::string caching = "Number of pixels: 2500\nNumber of frames: 138\n";
  for (int f = 0; f < 20; ++f) caching += "Caching frame " + std::to_string(f) + "...done\n";
  expectTranscript("a\ncut.pPath\ng\ny\n",
                   kViewerMenu + "pPath-file:\n" + kViewerMenu + kConfirm + kAllUndefined + caching +
                       "Caching frame 20...incomplete\npPath-file ends inside frame 20: playing the 20 complete "
                       "frames.\nOpenGL...");
}

TEST_F(ViewerDialogue, APipeNamedAsThePathFileIsRefusedInsteadOfWaitedOn) {
  ASSERT_EQ(mkfifo(folder.file("p.pPath").c_str(), 0600), 0);
  expectTranscript("a\np.pPath\ng\ny\nx\ny\n",
                   kViewerMenu + "pPath-file:\n" + kViewerMenu + kConfirm + kAllUndefined +
                       "Attempt to open specified pPath-file failed.\n\n" + kViewerMenu + kQuit,
                   "Zorvel-viewer: p.pPath: not a plain file\n");
}

TEST_F(ViewerDialogue, AFrameCacheBeyondTheMemoryAvailableIsRefusedWithBothSizes) {
  if (!canLimitMemory()) GTEST_SKIP() << kNoMemoryLimit;
  // 3,000 pixels in 3,000 frames of short numbers: 54 MB of file, 108 MB of positions to
  // cache, more than the process may take here.
  std::string frame = "0\n";
  for (int p = 0; p < 3000; ++p) frame += "0 0 0\n";
  std::string text = "3000 3000\n\n";
  text.reserve(frame.size() * 3000 + 16);
  for (int f = 0; f < 3000; ++f) text += frame;
  folder.write("big.pPath", text);
  const ProgramRun run =
      runProgram(ZORVEL_CONSOLE_VIEWER, folder.path(), "a\nbig.pPath\ng\ny\nx\ny\n", memoryLimit(100));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err.rfind("Zorvel-viewer: big.pPath: needs 108 MB of memory for its frames, but ", 0), 0u) << run.err;
  const std::string start = kViewerBanner + kViewerMenu + "pPath-file:\n" + kViewerMenu + kConfirm + kAllUndefined +
                            "pPath-file needs 108 MB of memory for its frames, but ";
  EXPECT_EQ(run.out.substr(0, start.size()), start);
  const std::string end = " MB are available.\n\n" + kViewerMenu + kQuit;
  ASSERT_GE(run.out.size(), end.size());
  EXPECT_EQ(run.out.substr(run.out.size() - end.size()), end);
}

TEST_F(ViewerDialogue, ScaleClampsAndTheSwap) {
  expectTranscript("e\ns\n5\n2\ne\ns\n0\n50\ne\ns\n30\n1\nx\ny",
                   kViewerMenu + "pScale-file:\nPixel scalar MIN:Pixel scalar MAX:" +
                       "Pixel scalar constant MAX lower than MIN. Values of MIN & MAX switched.\n" + kViewerMenu +
                       "pScale-file:\nPixel scalar MIN:Pixel scalar MAX:" +
                       "Pixel scalar constant MIN lower than 0.01. Value modified to 0.01.\n"
                       "Pixel scalar constant MAX higher than 20. Value modified to 20.\n" +
                       kViewerMenu + "pScale-file:\nPixel scalar MIN:Pixel scalar MAX:" +
                       "Pixel scalar constant MIN higher than 20. Value modified to 20.\n"
                       "Pixel scalar constant MAX lower than MIN. Values of MIN & MAX switched.\n" +
                       kViewerMenu + kQuit);
}

TEST_F(ViewerDialogue, MenuAnswersDiscardOneCharacterAndBadAnswersLandInTheMenu) {
  // "gq": g is read and q discarded; the confirmation then reads k: not defined.
  expectTranscript("gq\nk\nbz\nobj.rtg\nf\ng\nn\nx\nn\nx\ny\n",
                   kViewerMenu + kConfirm + "\nMenu-item not defined.\n\n" + kViewerMenu + "RTG-file:\n" + kViewerMenu +
                       "\n----------------------------------------\n"
                       "pPathFile:\t\tUndefined\nRTG-file:\t\tobj.rtg\n"
                       "pColorFile:\t\tUndefined\npOpacityFile:\t\tUndefined\n"
                       "pScaleFile:\t\tUndefined\n"
                       "----------------------------------------\n\n" +
                       kViewerMenu + kConfirm + kViewerMenu + kQuit + kViewerMenu + kQuit);
}

TEST_F(ViewerDialogue, EndOfInputEndsTheViewerAtOnce) {
  expectTranscript("a\n", kViewerMenu + "pPath-file:");
  expectTranscript("", kViewerMenu);
}

TEST_F(ViewerDialogue, AnRtgFileThatCannotBeOpenedIsReportedOnStandardErrorAndCubesPlay) {
  folder.write("p.pPath", kPath);
  expectTranscript("a\np.pPath\nb\nnowhere.rtg\ng\ny\n",
                   kViewerMenu + "pPath-file:\n" + kViewerMenu + "RTG-file:\n" + kViewerMenu + kConfirm +
                       "Analyzing specified RTG-file.\n\n"
                       "--------------RTG FILE ERROR!--------------\n"
                       "-------------------------------------------\n" +
                       kAllUndefined + caching(2, 3) + "OpenGL...",
                   "RTG-file: nowhere.rtg failed to open.\n");
}

}  // namespace
}  // namespace zorvel::test
