#include "recorder/RecorderOptions.h"

#include <cmath>
#include <sstream>

#include "common/TextScanner.h"
#include "recorder/CameraFraming.h"
#include "viewer/ViewerAttributes.h"

namespace zorvel {

namespace {

Failure usage(const std::string& why) { return failure(FailureKind::WrongFormat, why); }

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
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
       << kFramedTurnX << " degrees about x\n"
          "                        and "
       << kFramedTurnY
       << " about y; viewer: the viewer's start camera\n"
          "  --zoom Z, --pan X,Y, --turn X,Y   the viewer's camera values, over either\n"
          "Scale:\n"
          "  --scale FILE MIN MAX  scale values 0 to 255 map onto MIN to MAX (each "
       << kPixelScaleRange.low << " to " << kPixelScaleRange.high
       << ")\n"
          "  --timing              at the end, where the time went: drawing, reading pixels, encoding\n"
          "  -h, --help            this text\n";
  return text.str();
}

Result<RecorderCommand> parseRecorderArguments(const std::vector<std::string>& arguments) {
  RecorderCommand command;
  RecorderOptions& o = command.options;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    // The next word, which the option takes.
    const auto value = [&](std::string& out) {
      if (i + 1 >= arguments.size()) return false;
      out = arguments[++i];
      return true;
    };
    std::string word;
    if (option == "-h" || option == "--help") {
      command.help = true;
      return command;
    } else if (option == "-o" || option == "--output") {
      if (!value(o.output) || o.output.empty()) return usage("-o needs the output file");
    } else if (option == "--color" || option == "--colour") {
      if (!value(o.colourFile)) return usage(option + " needs a file");
    } else if (option == "--opacity") {
      if (!value(o.opacityFile)) return usage("--opacity needs a file");
    } else if (option == "--object") {
      if (!value(o.objectFile)) return usage("--object needs an RTG file");
    } else if (option == "--blender") {
      if (!value(o.blenderConfig)) return usage("--blender needs a configuration file");
    } else if (option == "--scale") {
      std::string min, max;
      if (!value(o.scaleFile) || !value(min) || !value(max) || !wholeNumber(min, o.scaleMin) ||
          !wholeNumber(max, o.scaleMax))
        return usage("--scale needs a file and two numbers, MIN and MAX");
      const ValueRange& range = kPixelScaleRange;
      if (o.scaleMin < range.low || o.scaleMin > range.high || o.scaleMax < range.low || o.scaleMax > range.high ||
          o.scaleMax < o.scaleMin)
        return usage("--scale: MIN and MAX must lie from " + ValueRange::text(range.low) + " to " +
                     ValueRange::text(range.high) + ", MIN not above MAX");
    } else if (option == "--mode") {
      if (!value(word)) return usage("--mode needs wire, solid or outlined");
      if (word == "wire") o.drawMode = DrawMode::Wire;
      else if (word == "solid") o.drawMode = DrawMode::Solid;
      else if (word == "outlined") o.drawMode = DrawMode::Outlined;
      else return usage("--mode takes wire, solid or outlined, not \"" + word + "\"");
    } else if (option == "--grid") {
      if (!value(word) || !onOff(word, o.grid)) return usage("--grid takes on or off");
    } else if (option == "--blend") {
      if (!value(word) || !onOff(word, o.blend)) return usage("--blend takes on or off");
    } else if (option == "--size") {
      const std::size_t x = value(word) ? word.find('x') : std::string::npos;
      if (x == std::string::npos || !wholeNumber(word.substr(0, x), o.width) ||
          !wholeNumber(word.substr(x + 1), o.height) || o.width < 16 || o.height < 16 || o.width > 8192 ||
          o.height > 8192)
        return usage("--size takes WIDTHxHEIGHT, each from 16 to 8192 pixels");
    } else if (option == "--fps") {
      if (!value(word) || !wholeNumber(word, o.framesPerSecond) || o.framesPerSecond < 1 || o.framesPerSecond > 240)
        return usage("--fps takes a whole number from 1 to 240");
    } else if (option == "--hold") {
      if (!value(word) || !wholeNumber(word, o.holdSeconds) || !(o.holdSeconds >= 0) || o.holdSeconds > 3600)
        return usage("--hold takes seconds from 0 to 3600");
    } else if (option == "--timing") {
      o.timing = true;
    } else if (option == "--camera") {
      if (!value(word) || (word != "framed" && word != "viewer")) return usage("--camera takes framed or viewer");
      o.camera.viewerStart = word == "viewer";
    } else if (option == "--zoom") {
      float zoom = 0;
      if (!value(word) || !wholeNumber(word, zoom)) return usage("--zoom takes a number");
      o.camera.zoom = zoom;
    } else if (option == "--pan") {
      float x = 0, y = 0;
      if (!value(word) || !numberPair(word, x, y)) return usage("--pan takes X,Y");
      o.camera.panX = x;
      o.camera.panY = y;
    } else if (option == "--turn") {
      float x = 0, y = 0;
      if (!value(word) || !numberPair(word, x, y)) return usage("--turn takes X,Y in degrees");
      o.camera.rotateX = x;
      o.camera.rotateY = y;
    } else if (option.size() > 1 && option[0] == '-') {
      return usage("unknown option " + option + " (see --help)");
    } else {
      positional.push_back(option);
    }
  }

  if (positional.size() > 1) return usage("one path file only, not \"" + positional[1] + "\"");
  if (!positional.empty()) o.pathFile = positional[0];
  if (o.pathFile.empty() == o.blenderConfig.empty())
    return usage(o.pathFile.empty() ? "a path file or --blender CONFIGURATION is needed (see --help)"
                                    : "a path file or --blender, not both");
  if (!o.blenderConfig.empty() && (!o.colourFile.empty() || !o.opacityFile.empty() || !o.scaleFile.empty() ||
                                   !o.objectFile.empty()))
    return usage("--color, --opacity, --scale and --object go with a path file, not with --blender");
  if (o.output.empty()) return usage("-o OUT is needed: a .mp4 or .gif file, a folder ending in /, or -");
  if (o.output == "-")
    o.outputKind = OutputKind::RawFrames;
  else if (o.output.back() == '/')
    o.outputKind = OutputKind::PngFolder;
  else if (endsWith(o.output, ".mp4"))
    o.outputKind = OutputKind::Mp4;
  else if (endsWith(o.output, ".gif"))
    o.outputKind = OutputKind::Gif;
  else
    return usage("-o " + o.output + ": the output ends in .mp4 or .gif, is a folder ending in /, or is -");
  if (o.outputKind == OutputKind::Mp4 && (o.width % 2 != 0 || o.height % 2 != 0))
    return usage("--size: an mp4 video needs an even width and height");
  return command;
}

}  // namespace zorvel
