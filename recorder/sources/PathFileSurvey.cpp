#include "recorder/sources/PathFileSurvey.h"

#include <algorithm>

#include "recorder/drawing/Settling.h"

namespace zorvel {

PathFileSurvey surveyPathFile(PathFrameStream& stream) {
  PathFileSurvey survey;
  std::vector<float> frame(std::size_t{stream.pixelCount()} * 3);
  survey.lastFrame.resize(frame.size());
  SettlingWatch settling(stream.pixelCount());
  for (; survey.completeFrames < stream.frameCount() && stream.readFrame(frame.data()); ++survey.completeFrames) {
    settling.add(frame.data(), survey.completeFrames > 0 ? survey.lastFrame.data() : nullptr);
    survey.lastFrame.swap(frame);
    for (std::size_t i = 0; i < survey.lastFrame.size(); ++i) {
      const float v = survey.lastFrame[i];
      const std::size_t axis = i % 3;
      const bool first = survey.completeFrames == 0 && i < 3;
      survey.low[axis] = first ? v : std::min(survey.low[axis], v);
      survey.high[axis] = first ? v : std::max(survey.high[axis], v);
    }
  }
  survey.settledFrom = settling.settledFrom();
  return survey;
}

}  // namespace zorvel
