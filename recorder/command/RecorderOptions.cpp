#include "recorder/command/RecorderOptions.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <optional>
#include <sstream>

#include "recorder/command/NumberWords.h"
#include "recorder/drawing/CameraFraming.h"
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

// The words of "A,B,..." split at the commas.
std::vector<std::string> commaParts(const std::string& word) {
  std::vector<std::string> parts(1);
  for (const char c : word) {
    if (c == ',')
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

// "A,B" as two numbers.
bool numberPair(const std::string& word, float& a, float& b) {
  const std::vector<std::string> parts = commaParts(word);
  return parts.size() == 2 && wholeNumber(parts[0], a) && wholeNumber(parts[1], b);
}

bool onOff(const std::string& word, bool& value) {
  if (word != "on" && word != "off") return false;
  value = word == "on";
  return true;
}

// The range of a number an option takes, and how its line names it: "a whole number
// from 1 to 240", "seconds from 0 to 3600".
struct NumberLimit {
  double low;
  double high;
  const char* kind;  // "a whole number", "a number", "seconds"
  bool whole;

  bool holds(double value) const { return value >= low && value <= high && (!whole || value == std::trunc(value)); }
  std::string span() const { return "from " + boundText(low) + " to " + boundText(high); }
  std::string text() const { return std::string(kind) + " " + span(); }
  // A bound as the lines print numbers, but a whole one in all its digits.
  static std::string boundText(double bound) {
    return bound == std::trunc(bound) ? std::to_string(static_cast<long long>(bound)) : ValueRange::text(bound);
  }
};

// The recorder's own limits; a picture's settings keep the cruncher's ranges.
constexpr NumberLimit kSizeLimit{16, 8192, "a whole number", true};
constexpr NumberLimit kFpsLimit{1, 240, "a whole number", true};
constexpr NumberLimit kHoldLimit{0, 3600, "seconds", false};
constexpr NumberLimit kParticlesLimit{1, 100000000, "a whole number", true};
constexpr NumberLimit kSeedLimit{0, 4294967295.0, "a whole number", true};
constexpr NumberLimit kDurationLimit{0.1, 3600, "seconds", false};
constexpr double kDefaultFlightSeconds = 8;
constexpr NumberLimit kOrbitLimit{-720, 720, "degrees", false};
constexpr NumberLimit kPullBackLimit{0.05, 1, "a number", false};
constexpr NumberLimit kChannelLimit{0, 255, "a whole number", true};
constexpr NumberLimit wholeIn(const ValueRange& range) { return {range.low, range.high, "a whole number", true}; }
constexpr NumberLimit numberIn(const ValueRange& range) { return {range.low, range.high, "a number", false}; }

// A word that is a number within `limit`, into `value`.
template <class T>
bool limitedNumber(const std::string& word, const NumberLimit& limit, T& value) {
  double number = 0;
  if (!wholeNumber(word, number) || !limit.holds(number)) return false;
  if constexpr (std::is_floating_point_v<T>)
    return wholeNumber(word, value);  // converted as the field's own type converts it
  else
    return (value = static_cast<T>(number), true);
}

// A MIN and a MAX within `limit`, MIN not above MAX.
bool limitedRange(const std::string& minWord, const std::string& maxWord, const NumberLimit& limit, double& min,
                  double& max) {
  return limitedNumber(minWord, limit, min) && limitedNumber(maxWord, limit, max) && min <= max;
}

// The draw modes by the words that name them.
constexpr std::pair<const char*, DrawMode> kModeWords[] = {
    {"wire", DrawMode::Wire}, {"solid", DrawMode::Solid}, {"outlined", DrawMode::Outlined}};

const char* modeWord(DrawMode mode) {
  for (const auto& [word, named] : kModeWords)
    if (named == mode) return word;
  return "";
}
const char* onOffWord(bool on) { return on ? "on" : "off"; }

// The sections of the help, in their order; an option in none has no lines of its own.
enum class HelpSection { None, Output, Picture, Camera, Scale, Crunch, Messages };

// The parts streamed one after the other, as one text.
template <class... Parts>
std::string said(const Parts&... parts) {
  std::ostringstream text;
  (text << ... << parts);
  return text.str();
}

}  // namespace

namespace {

// What the command line names, as its options are read: the options, and each kind of
// source's settings, of which checkSource() keeps the one named.
struct CommandLine {
  bool help = false;
  RecorderOptions options;
  PathSource path;
  PictureSource picture;
  BlendSource blend;
};

// An option: its names, how many words follow it, and what it makes of them. `apply`
// fails with the line that says what is wrong with the words; `missing` is that line
// when the words are not there.
struct OptionRule {
  using Apply = std::function<Result<void>(CommandLine&, const std::vector<std::string>&)>;
  OptionRule(std::vector<std::string> names, int words, Apply apply, std::string missing)
      : names(std::move(names)), words(words), apply(std::move(apply)), missing(std::move(missing)) {}

  std::vector<std::string> names;
  int words;
  Apply apply;
  std::string missing;
  HelpSection section = HelpSection::None;
  std::string help;  // its lines in the help, in full

  // The rule, with its lines in `section` of the help.
  OptionRule described(HelpSection in, std::string lines) && {
    section = in;
    help = std::move(lines);
    return std::move(*this);
  }
};

// Right, or the line `why`.
Result<void> rightOr(bool right, const std::string& why) {
  if (right) return {};
  return usage(why);
}

// An option of one word, which `take` stores and says whether it was right; `why` is the
// line when the word is missing or wrong.
OptionRule oneWord(std::vector<std::string> names, const std::string& why,
                   const std::function<bool(CommandLine&, const std::string&)>& take) {
  return {std::move(names), 1,
          [why, take](CommandLine& o, const std::vector<std::string>& w) { return rightOr(take(o, w[0]), why); }, why};
}

// An option of words, which `take` stores and says whether they were right; `why` is
// the line when they are missing or wrong.
OptionRule words(const std::string& name, int count, const std::string& why,
                 const std::function<bool(CommandLine&, const std::vector<std::string>&)>& take) {
  return {{name},
          count,
          [why, take](CommandLine& o, const std::vector<std::string>& w) { return rightOr(take(o, w), why); },
          why};
}

// An option that takes one number within `limit` into the field `field` of what
// `record` picks out of the options.
template <class Record, class T>
OptionRule numberOption(const std::string& name, const NumberLimit& limit, Record& (*record)(CommandLine&),
                        T Record::*field) {
  return oneWord({name}, name + " takes " + limit.text(), [limit, record, field](CommandLine& o, const std::string& w) {
    return limitedNumber(w, limit, record(o).*field);
  });
}
RecorderOptions& options(CommandLine& o) { return o.options; }
PictureSource& picture(CommandLine& o) { return o.picture; }
CruncherAttributes& crunch(CommandLine& o) { return o.picture.crunch; }

// An option of no word, which sets `field`.
OptionRule flagOption(std::vector<std::string> names, bool RecorderOptions::*field) {
  return {std::move(names), 0,
          [field](CommandLine& o, const std::vector<std::string>&) {
            o.options.*field = true;
            return Result<void>();
          },
          ""};
}

// An option that takes a file name into the field `field` of what `record` picks out of
// the command line.
template <class Record>
OptionRule fileOption(const std::string& name, Record& (*record)(CommandLine&), std::string Record::*field,
                      const std::string& what) {
  return oneWord({name}, name + " needs " + what, [record, field](CommandLine& o, const std::string& w) {
    record(o).*field = w;
    return true;
  });
}
PathSource& path(CommandLine& o) { return o.path; }
BlendSource& blend(CommandLine& o) { return o.blend; }
CameraChoice& camera(CommandLine& o) { return o.options.camera; }
CameraSwing& swing(CommandLine& o) { return o.options.camera.swing; }

// An option that takes "X,Y" into two camera values.
OptionRule pairOption(const std::string& name, std::optional<float> CameraChoice::*x,
                      std::optional<float> CameraChoice::*y, const std::string& why) {
  return oneWord({name}, why, [x, y](CommandLine& o, const std::string& w) {
    float a = 0, b = 0;
    if (!numberPair(w, a, b)) return false;
    o.options.camera.*x = a;
    o.options.camera.*y = b;
    return true;
  });
}

Result<void> applyScale(CommandLine& line, const std::vector<std::string>& w) {
  PathSource& o = line.path;
  o.scaleFile = w[0];
  if (!wholeNumber(w[1], o.scaleMin) || !wholeNumber(w[2], o.scaleMax))
    return usage("--scale needs a file and two numbers, MIN and MAX");
  const ValueRange& range = kPixelScaleRange;
  return rightOr(o.scaleMin >= range.low && o.scaleMax <= range.high && o.scaleMin <= o.scaleMax,
                 "--scale: MIN and MAX must lie from " + ValueRange::text(range.low) + " to " +
                     ValueRange::text(range.high) + ", MIN not above MAX");
}

Result<void> applyMode(CommandLine& o, const std::vector<std::string>& w) {
  for (const auto& [word, mode] : kModeWords)
    if (w[0] == word) {
      o.options.drawMode = mode;
      return {};
    }
  return usage("--mode takes wire, solid or outlined, not \"" + w[0] + "\"");
}

bool takeSize(CommandLine& o, const std::string& w) {
  const std::size_t x = w.find('x');
  return x != std::string::npos && limitedNumber(w.substr(0, x), kSizeLimit, o.options.width) &&
         limitedNumber(w.substr(x + 1), kSizeLimit, o.options.height);
}

bool takeScatter(CommandLine& o, const std::string& w) {
  const std::vector<std::string> parts = commaParts(w);
  Vector3& s = o.picture.crunch.scatterVolumeScalar;
  const NumberLimit limit = wholeIn(kScatterScalarRange);
  return parts.size() == 3 && limitedNumber(parts[0], limit, s.x) && limitedNumber(parts[1], limit, s.y) &&
         limitedNumber(parts[2], limit, s.z);
}

bool takeSeed(CommandLine& o, const std::string& w) {
  std::uint32_t seed = 0;
  if (!limitedNumber(w, kSeedLimit, seed)) return false;
  o.picture.seed = seed;
  return true;
}

bool takeDuration(CommandLine& o, const std::string& w) {
  double seconds = 0;
  if (!limitedNumber(w, kDurationLimit, seconds)) return false;
  o.picture.durationSeconds = seconds;
  return true;
}

// "R,G,B" (each 0 to 255) or "transparent" as the background.
bool takeBackground(CommandLine& o, const std::string& w) {
  if (w == "transparent") return (o.options.transparent = true);
  const std::vector<std::string> parts = commaParts(w);
  std::uint8_t* channels[] = {&o.options.background.red, &o.options.background.green, &o.options.background.blue};
  if (parts.size() != 3) return false;
  for (std::size_t c = 0; c < 3; ++c)
    if (!limitedNumber(parts[c], kChannelLimit, *channels[c])) return false;
  o.options.transparent = false;
  return true;
}

// "low", "medium" or "high" as the output's quality.
bool takeQuality(CommandLine& o, const std::string& w) {
  constexpr std::pair<const char*, Quality> kWords[] = {
      {"low", Quality::Low}, {"medium", Quality::Medium}, {"high", Quality::High}};
  for (const auto& [word, quality] : kWords)
    if (w == word) {
      o.options.quality = quality;
      return true;
    }
  return false;
}

// What a MIN and MAX option says about its range.
std::string rangeWords(const NumberLimit& limit) { return "MIN and MAX, each " + limit.text() + ", MIN not above MAX"; }

using Options = CommandLine;
using H = HelpSection;

// Every option: its names, its rule and its lines in the help, in the help's order,
// section by section.
std::vector<OptionRule> outputRules() {
  return {
      oneWord({"-o", "--output"}, "-o needs the output file",
              [](Options& o, const std::string& w) { return !(o.options.output = w).empty(); })
          .described(H::Output,
                     "  -o, --output OUT      OUT.mp4: H.264 video (yuv420p); OUT.gif: animated picture\n"
                     "                        with a palette made for the animation; OUT/ (ending in a\n"
                     "                        slash): a folder of numbered PNG pictures; -: raw RGB\n"
                     "                        frames, top row first, on standard output. mp4, gif and\n"
                     "                        PNG need ffmpeg. Nothing is left behind when recording fails.\n"),
      oneWord({"--quality"}, "--quality takes low, medium or high", takeQuality)
          .described(H::Output,
                     "  --quality low|medium|high   an mp4's or a gif's size against its look (default\n"
                     "                        medium). mp4: H.264 at constant rate factor 28, 24 or 18.\n"
                     "                        gif: low keeps at most 10 frames a second in 128 colours,\n"
                     "                        medium at most 15 (every second frame at 25 a second), both\n"
                     "                        with an ordered dither; high keeps every frame, finely\n"
                     "                        dithered. The last frame is always kept\n"),
      // A path file's files and the blender's configuration, named in the usage lines.
      fileOption("--color", path, &PathSource::colourFile, "a file"),
      fileOption("--colour", path, &PathSource::colourFile, "a file"),
      fileOption("--opacity", path, &PathSource::opacityFile, "a file"),
      fileOption("--object", path, &PathSource::objectFile, "an RTG file"),
      fileOption("--blender", blend, &BlendSource::configuration, "a configuration file"),
  };
}

std::vector<OptionRule> pictureRules(const RecorderOptions& d) {
  return {
      OptionRule{{"--mode"}, 1, applyMode, "--mode needs wire, solid or outlined"}.described(
          H::Picture,
          said("  --mode wire|solid|outlined   how each pixel is drawn (default ", modeWord(d.drawMode), ")\n")),
      oneWord({"--grid"}, "--grid takes on or off",
              [](Options& o, const std::string& w) { return onOff(w, o.options.grid); })
          .described(H::Picture,
                     said("  --grid on|off         the ground grid and axes (default ", onOffWord(d.grid), ")\n")),
      oneWord({"--blend"}, "--blend takes on or off",
              [](Options& o, const std::string& w) { return onOff(w, o.options.blend); })
          .described(H::Picture,
                     said("  --blend on|off        additive blending (default ", onOffWord(d.blend), ")\n")),
      oneWord({"--background"}, "--background takes R,G,B (each " + kChannelLimit.span() + ") or transparent",
              takeBackground)
          .described(H::Picture,
                     "  --background R,G,B|transparent   the colour where nothing is drawn (each 0 to\n"
                     "                        255; default 0,0,0); transparent: none there, for a folder\n"
                     "                        of PNG pictures, whose pixels get alpha 0 there and 255\n"
                     "                        where anything is drawn (not with --blend on)\n"),
      oneWord({"--settled-layer"}, "--settled-layer takes on or off",
              [](Options& o, const std::string& w) { return onOff(w, o.options.settledLayer); })
          .described(H::Picture,
                     said("  --settled-layer on|off  particles that no longer move are drawn once, into a\n"
                          "                        picture kept from frame to frame (on, faster), or every\n"
                          "                        particle in every frame (off): the same frames but where\n"
                          "                        two surfaces meet at the same depth (default ",
                          onOffWord(d.settledLayer), ")\n")),
      oneWord({"--size"}, "--size takes WIDTHxHEIGHT, each " + kSizeLimit.span() + " pixels", takeSize)
          .described(H::Picture,
                     said("  --size WxH            picture size in pixels (default ", d.width, "x", d.height, ")\n")),
      numberOption("--fps", kFpsLimit, options, &RecorderOptions::framesPerSecond)
          .described(H::Picture, said("  --fps N               frames per second (default ", d.framesPerSecond,
                                      "): one picture per frame\n")),
      numberOption("--hold", kHoldLimit, options, &RecorderOptions::holdSeconds)
          .described(H::Picture, said("  --hold SECONDS        how long the last frame stays (default ",
                                      NumberLimit::boundText(d.holdSeconds), ")\n")),
  };
}

std::vector<OptionRule> cameraRules() {
  return {
      oneWord({"--camera"}, "--camera takes framed or viewer",
              [](Options& o, const std::string& w) {
                o.options.camera.viewerStart = w == "viewer";
                return w == "framed" || w == "viewer";
              })
          .described(H::Camera,
                     said("  --camera framed|viewer  framed (default): the whole picture at home in view with a\n"
                          "                        small margin, seen from the front turned ",
                          kFramedTurnX, " degrees about x\n                        and ", kFramedTurnY,
                          " about y; viewer: the viewer's start camera\n")),
      oneWord({"--zoom"}, "--zoom takes a number",
              [](Options& o, const std::string& w) {
                float zoom = 0;
                if (!wholeNumber(w, zoom)) return false;
                o.options.camera.zoom = zoom;
                return true;
              })
          .described(H::Camera, "  --zoom Z, --pan X,Y, --turn X,Y   the viewer's camera values, over either\n"),
      pairOption("--pan", &CameraChoice::panX, &CameraChoice::panY, "--pan takes X,Y"),
      pairOption("--turn", &CameraChoice::rotateX, &CameraChoice::rotateY, "--turn takes X,Y in degrees"),
      numberOption("--orbit", kOrbitLimit, swing, &CameraSwing::degrees)
          .described(H::Camera,
                     said("  --orbit DEGREES       a turntable: the camera starts turned DEGREES (",
                          NumberLimit::boundText(kOrbitLimit.low), " to ", NumberLimit::boundText(kOrbitLimit.high),
                          ")\n"
                          "                        further about the upright axis through the middle of the\n"
                          "                        picture at home (as --turn's Y adds), swings round over the\n"
                          "                        flight home, easing in and out, and comes to rest on the\n"
                          "                        camera above as the picture lands, the whole picture in view\n")),
      numberOption("--pull-back", kPullBackLimit, swing, &CameraSwing::pullBack)
          .described(H::Camera,
                     said("  --pull-back FACTOR    the camera starts at FACTOR (", kPullBackLimit.low, " to ",
                          kPullBackLimit.high,
                          ") times its distance\n"
                          "                        from the middle of the picture, inside the cloud, and eases\n"
                          "                        out to the camera above as the picture lands; alone or with\n"
                          "                        --orbit\n")),
      fileOption("--camera-keys", camera, &CameraChoice::keysFile, "a file of camera keys")
          .described(H::Camera,
                     "  --camera-keys FILE    the camera along a path of keys, one a line: FRAME ZOOM PANX\n"
                     "                        PANY TURNX TURNY (frames counted from 0, rising; # starts a\n"
                     "                        comment); smooth from key to key with no overshoot, still\n"
                     "                        before the first key and after the last. It sets every camera\n"
                     "                        value: not with --camera, --zoom, --pan, --turn, --orbit or\n"
                     "                        --pull-back. --verbose lists each frame's camera as such a key\n"),
      OptionRule{{"--scale"}, 3, applyScale, "--scale needs a file and two numbers, MIN and MAX"}.described(
          H::Scale, said("  --scale FILE MIN MAX  scale values 0 to 255 map onto MIN to MAX (each ",
                         kPixelScaleRange.low, " to ", kPixelScaleRange.high, ")\n")),
  };
}

std::vector<OptionRule> crunchRules(const PictureSource& p) {
  const CruncherAttributes& c = p.crunch;
  return {
      // A picture and its settings.
      oneWord({"--picture"}, "--picture needs a picture file",
              [](Options& o, const std::string& w) { return !(o.picture.crunch.pColorMap = w).empty(); })
          .described(H::Crunch, "  --picture FILE        every pixel a particle, the picture upright as shown\n"),
      oneWord({"--transparency"}, "--transparency takes on or off",
              [](Options& o, const std::string& w) { return onOff(w, o.picture.transparency); })
          .described(H::Crunch, said("  --transparency on|off   on (default ", onOffWord(p.transparency),
                                     "): a pixel with alpha 0 is no particle,\n"
                                     "                        so that a logo flies together on its own, and a partly\n"
                                     "                        transparent pixel takes its alpha as its opacity (times\n"
                                     "                        the opacity asked for); off: every pixel a particle, as\n"
                                     "                        opaque as the opacity says\n")),
      numberOption("--particles", kParticlesLimit, picture, &PictureSource::particles)
          .described(H::Crunch, said("  --particles N         at most N particles (default ", p.particles,
                                     "): a picture with more\n"
                                     "                        pixels is shrunk to fit, keeping its proportions\n")),
      oneWord({"--seed"}, "--seed takes " + kSeedLimit.text(), takeSeed)
          .described(H::Crunch,
                     "  --seed N              the scattering's seed (default: the clock; --verbose says it)\n"),
      oneWord({"--scatter"}, "--scatter takes X,Y,Z, each " + wholeIn(kScatterScalarRange).text(), takeScatter)
          .described(H::Crunch,
                     said("  --scatter X,Y,Z       how far the particles fly apart, a multiple of the picture's\n"
                          "                        width, height and height range (each ",
                          kScatterScalarRange.low, " to ", kScatterScalarRange.high, ", default ",
                          c.scatterVolumeScalar.x, ",", c.scatterVolumeScalar.y, ",", c.scatterVolumeScalar.z, ")\n")),
      numberOption("--velocity", numberIn(kVelocityRange), crunch, &CruncherAttributes::pVelocityConstant)
          .described(H::Crunch,
                     said("  --velocity V          how far a particle moves in a frame (", kVelocityRange.low, " to ",
                          kVelocityRange.high,
                          "), as the\n"
                          "                        cruncher's velocity: the flight home takes as many frames as\n"
                          "                        the longest way home is long over V, so a larger picture\n"
                          "                        takes longer\n")),
      oneWord({"--duration"}, "--duration takes " + kDurationLimit.text(), takeDuration)
          .described(H::Crunch,
                     said("  --duration SECONDS    the velocity whose flight home takes about SECONDS, that\n"
                          "                        is SECONDS x --fps frames (default ",
                          kDefaultFlightSeconds,
                          ", whatever the picture's\n"
                          "                        size, unless --velocity or --velocity-map is given;\n"
                          "                        --verbose says which velocity)\n")),
  };
}

std::vector<OptionRule> mapRules(const PictureSource& p) {
  const CruncherAttributes& c = p.crunch;
  return {
      words("--velocity-map", 3, "--velocity-map takes a file, then " + rangeWords(numberIn(kVelocityRange)),
            [](Options& o, const std::vector<std::string>& w) {
              o.picture.crunch.pVelocityMap = w[0];
              return limitedRange(w[1], w[2], numberIn(kVelocityRange), o.picture.crunch.pVelocityMinConstant,
                                  o.picture.crunch.pVelocityMaxConstant);
            })
          .described(H::Crunch, "  --velocity-map FILE MIN MAX   a grey map's black moves at MIN, its white at MAX\n"),
      numberOption("--height", wholeIn(kHeightMaxRange), crunch, &CruncherAttributes::pHeightMaxConstant)
          .described(H::Crunch, said("  --height H            every particle's height above the picture (whole, ",
                                     kHeightMaxRange.low, " to ", kHeightMaxRange.high,
                                     ",\n                        default ", c.pHeightMaxConstant, ")\n")),
      words("--height-map", 2, "--height-map takes a file, then MAX, " + wholeIn(kHeightMaxRange).text(),
            [](Options& o, const std::vector<std::string>& w) {
              o.picture.crunch.pHeightMap = w[0];
              return limitedNumber(w[1], wholeIn(kHeightMaxRange), o.picture.crunch.pHeightMaxConstant);
            })
          .described(H::Crunch,
                     said("  --height-map FILE MAX   a grey map lifts each particle by its brightness, up to\n"
                          "                        MAX (whole, ",
                          kHeightMaxRange.low, " to ", kHeightMaxRange.high, ")\n")),
      numberOption("--opacity-constant", wholeIn(kOpacityRange), crunch, &CruncherAttributes::pOpacityConstant)
          .described(H::Crunch, said("  --opacity-constant N  every particle's opacity (whole, ", kOpacityRange.low,
                                     " to ", kOpacityRange.high, ", default ", c.pOpacityConstant, ")\n")),
      oneWord({"--opacity-map"}, "--opacity-map needs a grey map",
              [](Options& o, const std::string& w) { return !(o.picture.crunch.pOpacityMap = w).empty(); })
          .described(H::Crunch, "  --opacity-map FILE    each particle's opacity is the map's grey level\n"),
      words("--scale-map", 3, "--scale-map takes a file, then " + rangeWords(numberIn(kPixelScaleRange)),
            [](Options& o, const std::vector<std::string>& w) {
              o.picture.crunch.pScaleMap = w[0];
              return limitedRange(w[1], w[2], numberIn(kPixelScaleRange), o.picture.scaleMin, o.picture.scaleMax);
            })
          .described(H::Crunch,
                     said("  --scale-map FILE MIN MAX   each particle's size: the map's black MIN, white MAX\n"
                          "                        (each ",
                          kPixelScaleRange.low, " to ", kPixelScaleRange.high,
                          ")\n"
                          "                        A map is a picture of the picture's size (as read, before\n"
                          "                        any shrinking); a colour map counts by its brightness.\n")),
  };
}

std::vector<OptionRule> messageRules() {
  return {
      flagOption({"--timing"}, &RecorderOptions::timing)
          .described(H::Messages,
                     "  --timing              at the end, where the time went: drawing, reading pixels,\n"
                     "                        encoding\n"),
      flagOption({"-v", "--verbose"}, &RecorderOptions::verbose)
          .described(H::Messages,
                     "  -v, --verbose         also the lines the viewer, the cruncher or the blender prints\n"
                     "                        as it loads\n"),
      OptionRule{{"-h", "--help"},
                 0,
                 [](Options& o, const std::vector<std::string>&) {
                   o.help = true;
                   return Result<void>();
                 },
                 ""}
          .described(H::Messages, "  -h, --help            this text\n"),
  };
}

std::vector<OptionRule> optionRules() {
  const RecorderOptions d;
  const PictureSource p;
  std::vector<OptionRule> rules;
  for (const std::vector<OptionRule>& section :
       {outputRules(), pictureRules(d), cameraRules(), crunchRules(p), mapRules(p), messageRules()})
    rules.insert(rules.end(), section.begin(), section.end());
  return rules;
}

const std::vector<OptionRule>& kOptionRules() {
  static const std::vector<OptionRule> rules = optionRules();
  return rules;
}

// The help's section titles.
const char* titleOf(HelpSection section) {
  switch (section) {
    case HelpSection::Output: return "Output:\n";
    case HelpSection::Picture: return "Picture:\n";
    case HelpSection::Camera: return "Camera:\n";
    case HelpSection::Scale: return "Scale:\n";
    case HelpSection::Crunch:
      return "A picture crunched in memory (PNG, JPEG, GIF, BMP, TIFF, WebP, PNM, HEIC, AVIF or\nTGA; no file is "
             "written):\n";
    case HelpSection::Messages: return "Messages:\n";
    case HelpSection::None: break;
  }
  return "";
}

// A picture's settings: the options of its section but --picture itself.
bool isPictureSetting(const OptionRule& rule) {
  return rule.section == HelpSection::Crunch && rule.names.front() != "--picture";
}

// The pairs of options that set the same thing two ways.
const std::vector<std::pair<std::string, std::string>> kOneOrTheOther = {{"--velocity", "--duration"},
                                                                         {"--velocity", "--velocity-map"},
                                                                         {"--duration", "--velocity-map"},
                                                                         {"--height", "--height-map"},
                                                                         {"--opacity-constant", "--opacity-map"},
                                                                         {"--camera-keys", "--camera"},
                                                                         {"--camera-keys", "--zoom"},
                                                                         {"--camera-keys", "--pan"},
                                                                         {"--camera-keys", "--turn"},
                                                                         {"--camera-keys", "--orbit"},
                                                                         {"--camera-keys", "--pull-back"}};

const OptionRule* ruleFor(const std::string& name) {
  for (const OptionRule& rule : kOptionRules())
    for (const std::string& known : rule.names)
      if (known == name) return &rule;
  return nullptr;
}

// What to record, given the options named in `given`, decided once: the one source
// named, or the line that says what is wrong.
Result<void> checkSource(CommandLine& line, const std::vector<std::string>& positional,
                         const std::vector<std::string>& given) {
  const auto named = [&given](const std::string& name) {
    return std::find(given.begin(), given.end(), name) != given.end();
  };
  if (positional.size() > 1) return usage("one path file only, not \"" + positional[1] + "\"");
  if (!positional.empty()) line.path.pathFile = positional[0];
  const PathSource& path = line.path;
  const bool picture = !line.picture.crunch.pColorMap.empty(), blend = !line.blend.configuration.empty();
  const int sources = !path.pathFile.empty() + picture + blend;
  if (sources == 0) return usage("a path file, --picture PICTURE or --blender CONFIGURATION is needed (see --help)");
  if (sources > 1) return usage("one of a path file, --picture and --blender, not two");
  const bool pathFiles = !path.colourFile.empty() || !path.opacityFile.empty() || !path.scaleFile.empty();
  if (blend && (pathFiles || !path.objectFile.empty()))
    return usage("--color, --opacity, --scale and --object go with a path file, not with --blender");
  if (picture && pathFiles)
    return usage(
        "--color, --opacity and --scale name a path file's files; a picture takes --opacity-map and --scale-map");
  for (const OptionRule& rule : kOptionRules())
    if (!picture && isPictureSetting(rule) && named(rule.names.front()))
      return usage(rule.names.front() + " goes with --picture");
  for (const auto& [one, other] : kOneOrTheOther)
    if (named(one) && named(other)) return usage(one + " or " + other + ", not both");
  // A picture's flight home takes the same time whatever its size, unless a velocity
  // is asked for.
  if (picture && !named("--velocity") && !named("--duration") && !named("--velocity-map"))
    line.picture.durationSeconds = kDefaultFlightSeconds;
  if (picture) {
    line.picture.objectFile = path.objectFile;
    line.options.source = line.picture;
  } else if (blend)
    line.options.source = line.blend;
  else
    line.options.source = line.path;
  return {};
}

// Where to record; fails with the line that says what is wrong.
Result<void> checkOutput(RecorderOptions& o) {
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
  if (o.transparent && o.outputKind != OutputKind::PngFolder)
    return usage(
        "--background transparent needs a folder of PNG pictures (-o FOLDER/): mp4, gif and raw frames "
        "have no transparency");
  if (o.quality && (o.outputKind == OutputKind::PngFolder || o.outputKind == OutputKind::RawFrames))
    return usage("--quality goes with an mp4 or a gif: PNG pictures and raw frames keep every pixel");
  if (o.transparent && o.blend)
    return usage("--background transparent goes without --blend on: additive colours need a background to add to");
  return rightOr(o.outputKind != OutputKind::Mp4 || (o.width % 2 == 0 && o.height % 2 == 0),
                 "--size: an mp4 video needs an even width and height");
}

}  // namespace

Result<RecorderCommand> parseRecorderArguments(const std::vector<std::string>& arguments) {
  RecorderCommand command;
  CommandLine line;
  std::vector<std::string> positional, given;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
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
    if (const Result<void> applied = rule->apply(line, taken); !applied) return applied.failure();
    if (line.help) {
      command.help = true;
      return command;
    }
    given.push_back(word);
  }
  if (const Result<void> source = checkSource(line, positional, given); !source) return source.failure();
  if (const Result<void> output = checkOutput(line.options); !output) return output.failure();
  command.options = std::move(line.options);
  return command;
}

std::string recorderHelp() {
  std::string text =
      "Usage: Zorvel-recorder PATH-FILE [--color FILE] [--opacity FILE] [--scale FILE MIN MAX]\n"
      "                       [--object FILE.rtg] -o OUT [options]\n"
      "       Zorvel-recorder --picture PICTURE [picture settings] -o OUT [options]\n"
      "       Zorvel-recorder --blender CONFIGURATION -o OUT [options]\n"
      "\n"
      "Records an animation of the viewer (a path file from Zorvel-cruncher and its\n"
      "optional colour, opacity, scale and object files), of a picture crunched in memory\n"
      "as Zorvel-cruncher crunches one, or of the blender (a Morvaine configuration) to a\n"
      "file, drawing exactly as their windows do, with no display.\n"
      "\n";
  for (const HelpSection section : {HelpSection::Output, HelpSection::Picture, HelpSection::Camera, HelpSection::Scale,
                                    HelpSection::Crunch, HelpSection::Messages}) {
    text += titleOf(section);
    for (const OptionRule& rule : kOptionRules())
      if (rule.section == section) text += rule.help;
  }
  return text;
}

}  // namespace zorvel
