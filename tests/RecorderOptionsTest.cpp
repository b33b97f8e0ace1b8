// The recorder's command line as it is read: each limit holds its exact bounds and
// refuses the values just past them.

#include <gtest/gtest.h>

#include <functional>

#include "recorder/command/RecorderOptions.h"

namespace zorvel::test {
namespace {

Result<RecorderCommand> parse(const std::string& source, const std::string& option, const std::string& value) {
  std::vector<std::string> arguments;
  if (source == "--picture") {
    arguments = {"--picture", "p.png"};
  } else {
    arguments = {source};
  }
  arguments.insert(arguments.end(), {option, value, "-o", "out.mp4"});
  return parseRecorderArguments(arguments);
}

TEST(RecorderOptions, EachLimitTakesItsExactBoundsAndRefusesTheValuesJustPastThem) {
  using Read = std::function<double(const RecorderOptions&)>;
  struct Limit {
    const char* source;
    const char* option;
    const char* low;
    const char* high;
    double lowValue, highValue;
    const char* belowLow;
    const char* aboveHigh;
    Read read;
  };
  const Limit limits[] = {
      {"w.pPath", "--fps", "1", "240", 1, 240, "0", "241", [](const RecorderOptions& o) { return o.framesPerSecond; }},
      {"w.pPath", "--hold", "0", "3600", 0, 3600, "-0.001", "3600.001",
       [](const RecorderOptions& o) { return o.holdSeconds; }},
      {"w.pPath", "--size", "16x16", "8192x8192", 16, 8192, "15x16", "8192x8193",
       [](const RecorderOptions& o) { return o.height; }},
      {"--picture", "--particles", "1", "100000000", 1, 100000000, "0", "100000001",
       [](const RecorderOptions& o) { return static_cast<double>(std::get<PictureSource>(o.source).particles); }},
      {"--picture", "--seed", "0", "4294967295", 0, 4294967295.0, "-1", "4294967296",
       [](const RecorderOptions& o) {
         return static_cast<double>(std::get<PictureSource>(o.source).seed.value_or(7));
       }},
      {"--picture", "--duration", "0.1", "3600", 0.1, 3600, "0.099", "3600.001",
       [](const RecorderOptions& o) { return std::get<PictureSource>(o.source).durationSeconds.value_or(-1); }},
      {"--picture", "--velocity", "0.01", "20", 0.01, 20, "0.0099", "20.001",
       [](const RecorderOptions& o) { return std::get<PictureSource>(o.source).crunch.pVelocityConstant; }},
      {"--picture", "--scatter", "2,2,2", "20,20,20", 2, 20, "1,2,2", "20,20,21",
       [](const RecorderOptions& o) { return std::get<PictureSource>(o.source).crunch.scatterVolumeScalar.x; }},
      {"--picture", "--height", "0", "50", 0, 50, "-1", "51",
       [](const RecorderOptions& o) { return std::get<PictureSource>(o.source).crunch.pHeightMaxConstant; }},
      {"--picture", "--opacity-constant", "1", "255", 1, 255, "0", "256",
       [](const RecorderOptions& o) { return std::get<PictureSource>(o.source).crunch.pOpacityConstant; }},
      {"w.pPath", "--orbit", "-720", "720", -720, 720, "-720.001", "720.001",
       [](const RecorderOptions& o) { return o.camera.swing.degrees; }},
      {"w.pPath", "--pull-back", "0.05", "1", 0.05, 1, "0.0499", "1.001",
       [](const RecorderOptions& o) { return o.camera.swing.pullBack; }},
      {"w.pPath", "--background", "0,0,0", "255,255,255", 0, 255, "0,0,-1", "255,255,256",
       [](const RecorderOptions& o) { return o.background.blue; }},
  };
  for (const Limit& l : limits) {
    SCOPED_TRACE(l.option);
    for (const auto& [word, value] : {std::pair{l.low, l.lowValue}, std::pair{l.high, l.highValue}}) {
      const Result<RecorderCommand> taken = parse(l.source, l.option, word);
      ASSERT_TRUE(taken) << word << ": " << taken.failure().reason;
      EXPECT_FLOAT_EQ(l.read(taken->options), value) << word;
    }
    for (const char* word : {l.belowLow, l.aboveHigh}) {
      const Result<RecorderCommand> refused = parse(l.source, l.option, word);
      ASSERT_FALSE(refused) << word;
      EXPECT_EQ(refused.failure().reason.rfind(l.option, 0), 0u) << refused.failure().reason;
    }
  }
}

}  // namespace
}  // namespace zorvel::test
