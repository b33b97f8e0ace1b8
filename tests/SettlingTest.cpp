// The recorder's first pass over a path file: the frame each particle settles from, the
// order they settle in, and a file cut inside a frame.

#include <gtest/gtest.h>

#include <sstream>

#include "recorder/drawing/Settling.h"
#include "recorder/sources/PathFileSurvey.h"
#include "tests/TestSupport.h"

namespace zorvel::test {
namespace {

// Six frames of five particles, x a particle a frame, y and z 0:
//  0 never moves; 1 moves until frame 2; 2 stops at 2, moves again at 4 and stops;
//  3 moves in every frame; 4 moves until frame 2, as 1 does.
const float kX[6][5] = {{0, 5, 7, 9, 3}, {0, 4, 6, 8, 2},   {0, 3, 5, 7, 1},
                        {0, 3, 5, 6, 1}, {0, 3, 4.5, 5, 1}, {0, 3, 4.5, 4, 1}};

std::string pathFile(int frames) {
  std::ostringstream text;
  text << "5 " << frames << "\n\n";
  for (int f = 0; f < frames; ++f) {
    text << f << "\n";
    for (const float x : kX[f]) text << x << " 0 0\n";
  }
  return text.str();
}

// The survey of a path file holding `text`.
PathFileSurvey surveyOf(const std::string& text) {
  ScratchFolder folder;
  folder.write("p.pPath", text);
  Result<PathFrameStream> stream = PathFrameStream::open(folder.file("p.pPath"));
  EXPECT_TRUE(stream);
  return stream ? surveyPathFile(stream.value()) : PathFileSurvey{};
}

TEST(Settling, EachParticleSettlesFromItsLastMoveAndTheyComeInThatOrder) {
  const PathFileSurvey survey = surveyOf(pathFile(6));
  EXPECT_EQ(survey.completeFrames, 6);
  EXPECT_EQ(survey.settledFrom, (std::vector<std::int32_t>{0, 2, 4, 5, 2}));
  EXPECT_EQ(survey.lastFrame[std::size_t{3} * 3], 4.0f);
  EXPECT_EQ(survey.low[0], 0.0f);
  EXPECT_EQ(survey.high[0], 9.0f);
  // By the frame they settle from, ties by index.
  EXPECT_EQ(Settling::of(survey.settledFrom).inOrder, (std::vector<std::uint32_t>{0, 1, 4, 2, 3}));
}

TEST(Settling, AFileCutInsideAFrameCountsItsCompleteFramesOnly) {
  const std::string whole = pathFile(6);
  // Cut inside frame 5, after two of its particles.
  const PathFileSurvey survey = surveyOf(whole.substr(0, whole.find("\n5\n") + 3 + 12));
  EXPECT_EQ(survey.completeFrames, 5);
  // Particle 3 last moved in frame 4 of the frames there are.
  EXPECT_EQ(survey.settledFrom, (std::vector<std::int32_t>{0, 2, 4, 4, 2}));
  EXPECT_EQ(survey.lastFrame[std::size_t{3} * 3], 5.0f);
}

}  // namespace
}  // namespace zorvel::test
