// Number prompts of the cruncher and the viewer, run as the programs with scripted
// input: text that does not begin a number is named and the prompt comes again; what
// does begin one reads as stream extraction reads it.

#include <gtest/gtest.h>

#include "tests/CruncherTranscripts.h"
#include "tests/TestSupport.h"
#include "tests/ViewerTranscripts.h"

namespace zorvel::test {
namespace {

struct PromptCase {
  const char* name;
  const char* program;
  std::string input;
  std::string expected;
};

void PrintTo(const PromptCase& c, std::ostream* out) { *out << c.name; }

class NumberPrompts : public ::testing::TestWithParam<PromptCase> {};

TEST_P(NumberPrompts, NameTextThatIsNoNumberAndAskAgain) {
  ScratchFolder folder;
  const PromptCase& c = GetParam();
  const ProgramRun run = runProgram(c.program, folder.path(), c.input);
  EXPECT_EQ(run.out, c.expected);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
}

const std::string kOpacity = "Opacity constant:";
const std::string kScatter[3] = {"Scatter volume scalar X:", "Scatter volume scalar Y:", "Scatter volume scalar Z:"};
const std::string kViewerScale = "pScale-file:\nPixel scalar MIN:";

INSTANTIATE_TEST_SUITE_P(
    EveryKindOfPrompt, NumberPrompts,
    ::testing::Values(
        // A value: the word is named, the rest of its line goes, the prompt comes again.
        PromptCase{"CruncherValue", ZORVEL_CRUNCHER, "b\nb\nfast forward\n-x\n200\nx\nx\ny\n",
                   kCruncherBanner + chosen(kMainMenu) + chosen(kMiscMenu) + kOpacity + "Not a number: \"fast\".\n" +
                       kOpacity + "Not a number: \"-x\".\n" + kOpacity + "\n" + chosen(kMiscMenu) + chosen(kMainMenu) +
                       chosen(kQuit)},
        // Each of the triple's three prompts asks again on its own; 12abc reads 12 and
        // leaves abc for the next prompt.
        PromptCase{"ScatterTriple", ZORVEL_CRUNCHER, "a\nb\n12abc\n7\n1e\n9\nx\nx\ny\n",
                   kCruncherBanner + chosen(kMainMenu) + chosen(kEssentialMenu) + kScatter[0] + kScatter[1] +
                       "Not a number: \"abc\".\n" + kScatter[1] + kScatter[2] + "Not a number: \"1e\".\n" +
                       kScatter[2] + "\n" + chosen(kEssentialMenu) + chosen(kMainMenu) + chosen(kQuit)},
        // A number too large for its field reads as the largest value of its sign and
        // is clamped with its message.
        PromptCase{"TooLargeIsClamped", ZORVEL_CRUNCHER, "b\nb\n1e99\nx\nx\ny\n",
                   kCruncherBanner + chosen(kMainMenu) + chosen(kMiscMenu) + kOpacity +
                       "Pixel opacity constant higher than 255. Value modified to 255.\n\n" + chosen(kMiscMenu) +
                       chosen(kMainMenu) + chosen(kQuit)},
        PromptCase{"ViewerMinAndMax", ZORVEL_CONSOLE_VIEWER, "e\ns.pScale\nsmall\n0.5\nbig 3\n2\nx\ny",
                   kViewerBanner + kViewerMenu + kViewerScale + "Not a number: \"small\".\nPixel scalar MIN:" +
                       "Pixel scalar MAX:Not a number: \"big\".\nPixel scalar MAX:" + kViewerMenu + kQuit},
        // The end of input ends the program at once, printing nothing more.
        PromptCase{"EndOfInputAfterText", ZORVEL_CRUNCHER, "b\nd\nslow",
                   kCruncherBanner + chosen(kMainMenu) + chosen(kMiscMenu) +
                       "Velocity scalar constant:Not a number: \"slow\".\n"}),
    [](const ::testing::TestParamInfo<PromptCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zorvel::test
