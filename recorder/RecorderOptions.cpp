#include "recorder/RecorderOptions.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <functional>
#include <optional>
#include <sstream>

#include "common/TextScanner.h"
#include "recorder/CameraFraming.h"
#include "viewer/ViewerAttributes.h"

namespace zorvel {

namespace {

Failure usage(const std::string& why) { return failure(FailureKind::WrongFormat, why); }

// Whether `text` ends in `end` (lower case), in upper or lower case.
bool endsWith(const std::string& text, const std::string& end) {
  if (text.size() < end.size()) return false;
  return std::equal(end.begin(), end.end(), text.end() - static_cast<std::ptrdiff_t>(end.size()),
                    [](char e, char t) { return e == std::tolower(static_cast<unsigned char>(t)); });
}

// A whole word that is a number, as the readers read numbers.
template <class T>
bool wholeNumber(const std::string& word, T& value) {
  TextScanner scan(word);
  if constexpr (std::is_floating_point_v<T>) {
    float f = 0;
    if (!scan.number(f) || !scan.atEnd()) return false;
    value = static_cast<T>(f);
  } else {
    if (!scan.integer(value) || !scan.atEnd()) return false;
  }
  return true;
}

// "A,B" as two numbers.
bool numberPair(const std::string& word, float& a, float& b) {
  const std::size_t comma = word.find(',');
  return comma != std::string::npos && wholeNumber(word.substr(0, comma), a) && wholeNumber(word.substr(comma + 1), b);
}

bool onOff(const std::string& word, bool& value) {
  if (word != "on" && word != "off") return false;
  value = word == "on";
  return true;
}

}  // namespace

std::string recorderHelp() {
  std::ostringstream text;
  text << "Usage: Zorvel-recorder PATH-FILE [--color FILE] [--opacity FILE] [--scale FILE MIN MAX]\n"
          "                       [--object FILE.rtg] -o OUT [options]\n"
          "       Zorvel-recorder --blender CONFIGURATION -o OUT [options]\n"
          "\n"
          "Records an animation of the viewer (a path file from Zorvel-cruncher and its\n"
          "optional colour, opacity, scale and object files) or of the blender (a Morvaine\n"
          "configuration) to a file, drawing exactly as their windows do, with no display.\n"
          "\n"
          "Output:\n"
          "  -o, --output OUT      OUT.mp4: H.264 video (yuv420p); OUT.gif: animated picture\n"
          "                        with a palette made for the animation; OUT/ (ending in a\n"
          "                        slash): a folder of numbered PNG pictures; -: raw RGB\n"
          "                        frames, top row first, on standard output. mp4, gif and\n"
          "                        PNG need ffmpeg. Nothing is left behind when recording fails.\n"
          "Picture:\n"
          "  --mode wire|solid|outlined   how each pixel is drawn (default solid)\n"
          "  --grid on|off         the ground grid and axes (default off)\n"
          "  --blend on|off        additive blending (default off)\n"
          "  --size WxH            picture size in pixels (default 1280x720)\n"
          "  --fps N               frames per second (default "
       << kFramesPerSecond
       << "): one picture per frame\n"
          "  --hold SECONDS        how long the last frame stays (default 2)\n"
          "Camera:\n"
          "  --camera framed|viewer  framed (default): the whole picture at home in view with a\n"
          "                        small margin, seen from the front turned "
       << kFramedTurnX
       << " degrees about x\n"
          "                        and "
       << kFramedTurnY
       << " about y; viewer: the viewer's start camera\n"
          "  --zoom Z, --pan X,Y, --turn X,Y   the viewer's camera values, over either\n"
          "Scale:\n"
          "  --scale FILE MIN MAX  scale values 0 to 255 map onto MIN to MAX (each "
       << kPixelScaleRange.low << " to " << kPixelScaleRange.high
       << ")\n"
          "  --timing              at the end, where the time went: drawing, reading pixels, encoding\n"
          "  -v, --verbose         also the lines the viewer or the blender prints as it loads\n"
          "  -h, --help            this text\n";
  return text.str();
}

namespace {

// An option: its names, how many words follow it, and what it makes of them. `apply`
// returns the line that says what is wrong with the words, or nothing; `missing` is
// that line when the words are not there.
struct OptionRule {
  std::vector<std::string> names;
  int words;
  std::function<std::optional<std::string>(RecorderOptions&, const std::vector<std::string>&)> apply;
  std::string missing;
};

// An option of one word, which `take` stores and says whether it was right; `why` is the
// line when the word is missing or wrong.
OptionRule oneWord(std::vector<std::string> names, const std::string& why,
                   const std::function<bool(RecorderOptions&, const std::string&)>& take) {
  return {std::move(names), 1,
          [why, take](RecorderOptions& o, const std::vector<std::string>& w) {
            return take(o, w[0]) ? std::nullopt : std::optional<std::string>(why);
          },
          why};
}

// An option of no word, which sets `field`.
OptionRule flagOption(std::vector<std::string> names, bool RecorderOptions::*field) {
  return {std::move(names), 0,
          [field](RecorderOptions& o, const std::vector<std::string>&) {
            o.*field = true;
            return std::optional<std::string>();
          },
          ""};
}

// An option that takes a file name into `field`.
OptionRule fileOption(const std::string& name, std::string RecorderOptions::*field, const std::string& what) {
  return oneWord({name}, name + " needs " + what, [field](RecorderOptions& o, const std::string& w) {
    o.*field = w;
    return true;
  });
}

// An option that takes "X,Y" into two camera values.
OptionRule pairOption(const std::string& name, std::optional<float> CameraChoice::*x,
                      std::optional<float> CameraChoice::*y, const std::string& why) {
  return oneWord({name}, why, [x, y](RecorderOptions& o, const std::string& w) {
    float a = 0, b = 0;
    if (!numberPair(w, a, b)) return false;
    o.camera.*x = a;
    o.camera.*y = b;
    return true;
  });
}

std::optional<std::string> applyScale(RecorderOptions& o, const std::vector<std::string>& w) {
  o.scaleFile = w[0];
  if (!wholeNumber(w[1], o.scaleMin) || !wholeNumber(w[2], o.scaleMax))
    return "--scale needs a file and two numbers, MIN and MAX";
  const ValueRange& range = kPixelScaleRange;
  if (o.scaleMin >= range.low && o.scaleMax <= range.high && o.scaleMin <= o.scaleMax) return std::nullopt;
  return "--scale: MIN and MAX must lie from " + ValueRange::text(range.low) + " to " + ValueRange::text(range.high) +
         ", MIN not above MAX";
}

std::optional<std::string> applyMode(RecorderOptions& o, const std::vector<std::string>& w) {
  const std::string& word = w[0];
  if (word == "wire")
    o.drawMode = DrawMode::Wire;
  else if (word == "solid")
    o.drawMode = DrawMode::Solid;
  else if (word == "outlined")
    o.drawMode = DrawMode::Outlined;
  else
    return "--mode takes wire, solid or outlined, not \"" + word + "\"";
  return std::nullopt;
}

bool takeSize(RecorderOptions& o, const std::string& w) {
  const std::size_t x = w.find('x');
  return x != std::string::npos && wholeNumber(w.substr(0, x), o.width) && wholeNumber(w.substr(x + 1), o.height) &&
         o.width >= 16 && o.height >= 16 && o.width <= 8192 && o.height <= 8192;
}

using Options = RecorderOptions;
const std::vector<OptionRule> kOptionRules = {
    oneWord({"-o", "--output"}, "-o needs the output file",
            [](Options& o, const std::string& w) { return !(o.output = w).empty(); }),
    fileOption("--color", &Options::colourFile, "a file"),
    fileOption("--colour", &Options::colourFile, "a file"),
    fileOption("--opacity", &Options::opacityFile, "a file"),
    fileOption("--object", &Options::objectFile, "an RTG file"),
    fileOption("--blender", &Options::blenderConfig, "a configuration file"),
    {{"--scale"}, 3, applyScale, "--scale needs a file and two numbers, MIN and MAX"},
    {{"--mode"}, 1, applyMode, "--mode needs wire, solid or outlined"},
    oneWord({"--grid"}, "--grid takes on or off", [](Options& o, const std::string& w) { return onOff(w, o.grid); }),
    oneWord({"--blend"}, "--blend takes on or off", [](Options& o, const std::string& w) { return onOff(w, o.blend); }),
    oneWord({"--size"}, "--size takes WIDTHxHEIGHT, each from 16 to 8192 pixels", takeSize),
    oneWord({"--fps"}, "--fps takes a whole number from 1 to 240",
            [](Options& o, const std::string& w) {
              return wholeNumber(w, o.framesPerSecond) && o.framesPerSecond >= 1 && o.framesPerSecond <= 240;
            }),
    oneWord({"--hold"}, "--hold takes seconds from 0 to 3600",
            [](Options& o, const std::string& w) {
              return wholeNumber(w, o.holdSeconds) && o.holdSeconds >= 0 && o.holdSeconds <= 3600;
            }),
    flagOption({"--timing"}, &Options::timing),
    flagOption({"-v", "--verbose"}, &Options::verbose),
    oneWord({"--camera"}, "--camera takes framed or viewer",
            [](Options& o, const std::string& w) {
              o.camera.viewerStart = w == "viewer";
              return w == "framed" || w == "viewer";
            }),
    oneWord({"--zoom"}, "--zoom takes a number",
            [](Options& o, const std::string& w) {
              float zoom = 0;
              if (!wholeNumber(w, zoom)) return false;
              o.camera.zoom = zoom;
              return true;
            }),
    pairOption("--pan", &CameraChoice::panX, &CameraChoice::panY, "--pan takes X,Y"),
    pairOption("--turn", &CameraChoice::rotateX, &CameraChoice::rotateY, "--turn takes X,Y in degrees"),
};

const OptionRule* ruleFor(const std::string& name) {
  for (const OptionRule& rule : kOptionRules)
    for (const std::string& known : rule.names)
      if (known == name) return &rule;
  return nullptr;
}

// What to record and where, with the options taken: the line that says what is wrong.
std::optional<std::string> checkCombination(RecorderOptions& o, const std::vector<std::string>& positional) {
  if (positional.size() > 1) return "one path file only, not \"" + positional[1] + "\"";
  if (!positional.empty()) o.pathFile = positional[0];
  if (o.pathFile.empty() == o.blenderConfig.empty())
    return o.pathFile.empty() ? "a path file or --blender CONFIGURATION is needed (see --help)"
                              : "a path file or --blender, not both";
  if (!o.blenderConfig.empty() &&
      (!o.colourFile.empty() || !o.opacityFile.empty() || !o.scaleFile.empty() || !o.objectFile.empty()))
    return "--color, --opacity, --scale and --object go with a path file, not with --blender";
  if (o.output.empty()) return "-o OUT is needed: a .mp4 or .gif file, a folder ending in /, or -";
  if (o.output == "-")
    o.outputKind = OutputKind::RawFrames;
  else if (o.output.back() == '/')
    o.outputKind = OutputKind::PngFolder;
  else if (endsWith(o.output, ".mp4"))
    o.outputKind = OutputKind::Mp4;
  else if (endsWith(o.output, ".gif"))
    o.outputKind = OutputKind::Gif;
  else
    return "-o " + o.output + ": the output ends in .mp4 or .gif, is a folder ending in /, or is -";
  if (o.outputKind == OutputKind::Mp4 && (o.width % 2 != 0 || o.height % 2 != 0))
    return "--size: an mp4 video needs an even width and height";
  return std::nullopt;
}

}  // namespace

Result<RecorderCommand> parseRecorderArguments(const std::vector<std::string>& arguments) {
  RecorderCommand command;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (word == "-h" || word == "--help") {
      command.help = true;
      return command;
    }
    const OptionRule* rule = ruleFor(word);
    if (!rule) {
      if (word.size() > 1 && word[0] == '-') return usage("unknown option " + word + " (see --help)");
      positional.push_back(word);
      continue;
    }
    const std::size_t words = static_cast<std::size_t>(rule->words);
    if (arguments.size() - 1 - i < words) return usage(rule->missing);
    const std::vector<std::string> taken(arguments.begin() + static_cast<std::ptrdiff_t>(i + 1),
                                         arguments.begin() + static_cast<std::ptrdiff_t>(i + 1 + words));
    i += words;
    if (const std::optional<std::string> wrong = rule->apply(command.options, taken)) return usage(*wrong);
  }
  if (const std::optional<std::string> wrong = checkCombination(command.options, positional)) return usage(*wrong);
  return command;
}

}  // namespace zorvel
