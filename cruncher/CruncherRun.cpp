#include "cruncher/CruncherRun.h"

#include <istream>
#include <optional>
#include <ostream>
#include <vector>

#include "common/ConsoleText.h"
#include "common/ImageSummary.h"
#include "common/PictureFormat.h"
#include "common/ProgramEnd.h"
#include "common/ProgramNames.h"
#include "common/TickCounter.h"
#include "common/WholeFile.h"
#include "cruncher/AttributeFiles.h"
#include "cruncher/CruncherMenus.h"
#include "cruncher/FrameLoop.h"
#include "cruncher/ParticleSetup.h"
#include "cruncher/RandomGenerator.h"

namespace zorvel {

namespace {

// What the run says about one of the four maps: the shared lines (the default is the
// same whether a map was named or not), and the cruncher's own for a map refused.
struct MapLines {
  AttributeLines common;
  const char* label;
  const char* ignored;
};

constexpr const char* kOpacityDefault = "Pixel opacity defaulted to pixel opacity constant.";
constexpr MapLines kOpacityLines{
    {"pOpacity-file: Undefined", kOpacityDefault, "Attempt to open opacity map failed.", kOpacityDefault},
    "Opacity map: ",
    "Opacity map will be ignored."};
constexpr const char* kVelocityDefault = "Pixel velocity defaulted to pixel velocity scalar constant.";
constexpr MapLines kVelocityLines{
    {"pVelocity-file: Undefined", kVelocityDefault, "Attempt to open velocity scalar map failed.", kVelocityDefault},
    "Velocity scalar map: ",
    "Velocity scalar map will be ignored."};
constexpr const char* kScaleDefault = "Pixel scale scalar defaulted to pixel scale scalar constant.";
constexpr MapLines kScaleLines{
    {"pScalar-file: Undefined", kScaleDefault, "Attempt to open pixel scalar map failed.", kScaleDefault},
    "Pixel scalar map: ",
    "Pixel scalar map will be ignored."};
constexpr const char* kHeightDefault = "Pixel height offset defaulted to pixel height offset constant.";
constexpr MapLines kHeightLines{
    {"pHeight-file: Undefined", kHeightDefault, "Attempt to open height map failed.", kHeightDefault},
    "Height map: ",
    "Height map will be ignored."};

// The console and the record of files that could not be written.
struct RunOutput {
  std::ostream& out;
  std::ostream& err;
  bool writeFailed = false;

  // Reports a file that could not be written; returns whether it was.
  template <class T>
  bool written(const Result<T>& written, const std::string& fileName) {
    if (!written) {
      err << "Could not write file \"" << fileName << "\"." << std::endl;
      writeFailed = true;
    }
    return static_cast<bool>(written);
  }
};

// How one attribute file came to be.
struct AttributeFile {
  bool fromMap = false;  // the map was usable
  bool written = false;  // every byte reached the file
};

// A picture opened once and decoded within `maxPixels`: the open file (for its header)
// and the decoding, which fails with TooLarge for a picture that is larger.
struct OpenedPicture {
  Result<TgaFile> file;
  Result<TgaImage> image;

  OpenedPicture(const std::string& name, std::uint64_t maxPixels)
      : file(TgaFile::open(name)), image(file ? file->decode(maxPixels) : Result<TgaImage>(file.failure())) {}
  // Whether the picture cannot be used whatever its size; image.failure() says why.
  bool unreadable() const { return !image && image.failure().kind != FailureKind::TooLarge; }
};

// Writes one attribute file, from the map when it is usable, else from the constant
// under the colour image's name. The map is opened once: its summary and the checks
// need its header, its pixels are decoded only when it is no larger than the colour
// image.
AttributeFile writeAttributeFile(PixelImage& map, const std::string& mapName, const char* extension, float constant,
                                 const MapLines& lines, const PixelImage& colour, RunOutput& run) {
  std::ostream& out = run.out;
  const auto writeConstant = [&] {
    map.name = colour.name;
    map.pixelCount = colour.pixelCount;
    return AttributeFile{
        false, run.written(writeConstantFile(map.name, extension, constant, colour.pixelCount), map.name + extension)};
  };
  const auto refuse = [&](const char* why, const std::string& reason) {
    printReason(run.err, kCruncherName, mapName, reason);
    out << lines.label << mapName << why << std::endl;
    printNotUsed(out, lines.ignored, lines.common.defaulted);
    return writeConstant();
  };

  map.name = mapName;
  if (mapName.empty()) {
    const AttributeFile file = writeConstant();
    printNotUsed(out, lines.common.undefined, lines.common.undefinedDefault);
    return file;
  }
  const OpenedPicture picture(mapName, static_cast<std::uint64_t>(colour.pixelCountOfSize()));
  if (picture.unreadable()) {
    printReason(run.err, kCruncherName, mapName, picture.image.failure().reason);
    printNotUsed(out, lines.common.cannotOpen, lines.common.defaulted);
    return writeConstant();
  }
  const TgaInfo& info = picture.file->info();
  printImageSummary(out, mapName, info);
  const std::string remake =
      "; bash scripts/make-tga.sh --grey --like " + colour.name + " PICTURE " + mapName + " makes one from any picture";
  if (info.bitsPerPixel < 8 || info.bitsPerPixel > 15)
    return refuse(" isn't a TGA grayscale image.", "is a " + std::to_string(info.bitsPerPixel) +
                                                       "-bit picture where an 8-bit grey map is needed" + remake);
  if (static_cast<float>(info.width) != colour.width || static_cast<float>(info.height) != colour.height)
    return refuse(" not the same size as TGA color image.",
                  "is " + std::to_string(info.width) + " x " + std::to_string(info.height) +
                      " pixels where the colour image is " + std::to_string(static_cast<long>(colour.width)) + " x " +
                      std::to_string(static_cast<long>(colour.height)) + remake);
  // The colour image's size: within the limit, so decoded.
  map.fillFromTga(picture.image.value());
  return {true, run.written(writePixelFile(map, extension), map.name + extension)};
}

// The values of an attribute file written in this run; fails when it was not written
// whole, or does not read back: an older file of that name is never read.
Result<std::vector<float>> readBack(const PixelImage& map, const char* extension, const AttributeFile& file) {
  const std::string name = map.name + extension;
  if (!file.written) return failure(FailureKind::CannotWrite, name + ": was not written whole");
  Result<std::vector<float>> values = readAttributeValues(name);
  if (!values) return failure(values.failure().kind, name + ": " + values.failure().reason);
  return values;
}

// The values `read` back, or nothing: the particles go without them. Why a file written
// whole does not read back is said on `err`; one not written was said when it failed.
std::optional<std::vector<float>> valuesOrNone(Result<std::vector<float>> read, const AttributeFile& file,
                                               std::ostream& err) {
  if (read) return std::move(read.value());
  if (file.written) printLine(err, std::string(kCruncherName) + ": " + read.failure().reason);
  return std::nullopt;
}

// For a picture of another format than TGA, where it can go instead: to the recorder,
// where it reads that format, and to the script that makes a TGA of it.
std::string whereItCanGo(const std::string& name) {
  const Result<std::string> start = readFileStart(name, 16);
  if (!start) return "";
  const PictureFormat format = pictureFormatOf(reinterpret_cast<const std::uint8_t*>(start->data()), start->size());
  if (format == PictureFormat::Unmarked) return "";
  return std::string("; ") + (recorderReads(format) ? "Zorvel-recorder --picture records it as it is, and " : "") +
         "bash scripts/make-tga.sh " + name + " OUT.tga makes a TGA of it";
}

// The colour image of a run, opened once: named, a TGA picture this reader takes, and
// within the pixel limit, decoded; its summary printed. Nothing, when it is refused:
// the lines say why, and `err` does too when a named picture is unusable.
std::optional<TgaImage> acceptColourImage(const std::string& name, std::ostream& out, std::ostream& err) {
  if (name.empty()) {
    printLine(out, "Color-file: Undefined");
    printLine(out);
    return std::nullopt;
  }
  OpenedPicture picture(name, kMaxPixels);
  if (picture.unreadable()) {
    printReason(err, kCruncherName, name, picture.image.failure().reason + whereItCanGo(name));
    printLine(out, "Attempt to open color-file failed.");
    printLine(out);
    return std::nullopt;
  }
  const TgaInfo& info = picture.file->info();
  printImageSummary(out, name, info);
  if (!picture.image) {
    const std::string count = std::to_string(info.pixelCount());
    printReason(err, kCruncherName, name,
                "has " + count + " pixels, more than the " + std::to_string(kMaxPixels) + " a run takes; " +
                    "bash scripts/make-tga.sh " + name + " SMALLER.tga shrinks it to fit");
    printLine(out, "Number crunching cancelled.");
    printLine(out,
              "This program's pixelcount is set to a maximum value of " + groupedThousands(kMaxPixels) + " pixels.");
    printLine(out, "The TGA-image that is specified has " + count + " pixels.");
    printLine(out, "Please specify another TGA-image to work on.");
    printLine(out);
    return std::nullopt;
  }
  return std::move(picture.image.value());
}

// The four attribute files that came from a map or a constant, velocity and height
// told apart: they are read back.
struct WrittenAttributes {
  AttributeFile velocity;
  AttributeFile height;
};

WrittenAttributes writeAttributeFiles(CruncherAttributes& a, CruncherImages& images, RunOutput& run) {
  const PixelImage& colour = images.colour;
  writeAttributeFile(images.opacity, a.pOpacityMap, ".pOpacity", a.pOpacityConstant, kOpacityLines, colour, run);
  WrittenAttributes written;
  written.velocity = writeAttributeFile(images.velocity, a.pVelocityMap, ".pVelocity",
                                        static_cast<float>(a.pVelocityConstant), kVelocityLines, colour, run);
  if (!written.velocity.fromMap) {
    a.setVelocityMin(a.pVelocityConstant, run.out);
    a.setVelocityMax(a.pVelocityConstant, run.out);
  }
  writeAttributeFile(images.scale, a.pScaleMap, ".pScale", a.pScaleConstant, kScaleLines, colour, run);
  written.height =
      writeAttributeFile(images.height, a.pHeightMap, ".pHeight", a.pHeightMaxConstant, kHeightLines, colour, run);
  return written;
}

// The particles set up from the velocity and height files read back, after the colour
// file is written.
void setUpFromFiles(const CruncherAttributes& a, CruncherImages& images, const WrittenAttributes& written,
                    std::uint32_t seed, RunOutput& run) {
  ParticleSetup setup;
  setup.scatterVolumeScalar = a.scatterVolumeScalar;
  setup.velocityValues =
      valuesOrNone(readBack(images.velocity, ".pVelocity", written.velocity), written.velocity, run.err);
  setup.velocityMin = a.pVelocityMinConstant;
  setup.velocityMax = a.pVelocityMaxConstant;
  if (std::optional<std::vector<float>> heights =
          valuesOrNone(readBack(images.height, ".pHeight", written.height), written.height, run.err)) {
    if (written.height.fromMap)
      setup.heightLevels = std::move(heights);
    else
      setup.uniformHeight = true;
  }
  setup.heightMax = a.pHeightMaxConstant;
  PixelImage& colour = images.colour;
  run.written(writePixelFile(colour, ".pColor"), colour.name + ".pColor");
  setUpParticles(colour, setup, seed, run.out);
}

}  // namespace

CrunchOutcome runCrunch(CruncherAttributes& a, CruncherImages& images, std::uint32_t seed, std::istream& in,
                        std::ostream& out, std::ostream& err) {
  std::optional<TgaImage> picture;
  while (!(picture = acceptColourImage(a.pColorMap, out, err))) {
    const MenuResult result = showCruncherMainMenu(a, in, out);
    if (result != MenuResult::Confirmed) return {result, false};
  }

  // The run proper starts with the colour image's summary.
  PixelImage& colour = images.colour;
  colour.name = a.pColorMap;
  colour.fillFromTga(*picture);
  printImageSummary(out, colour.name, picture->info);
  colour.pixelCount = static_cast<std::uint32_t>(colour.pixelCountOfSize());

  RunOutput run{out, err};
  setUpFromFiles(a, images, writeAttributeFiles(a, images, run), seed, run);

  const Result<std::int32_t> frames =
      calculateFrames(colour.records, colour.name + ".pPath", [&out](std::int32_t frame, bool done) {
        if (done)
          printLine(out, "done");
        else
          out << "Calculating frame " << frame << "..." << std::flush;
      });
  run.written(frames, colour.name + ".pPath");
  return {MenuResult::Confirmed, run.writeFailed};
}

int runCruncherProgram(std::istream& in, std::ostream& out, std::ostream& err) {
  return runUntilMemoryRunsOut(kCruncherName, out, err, [&] {
    CruncherAttributes attributes;
    CruncherImages images;
    printBanner(out, kCruncherName);

    if (showCruncherMainMenu(attributes, in, out) != MenuResult::Confirmed) return 0;
    const std::uint32_t start = tickCount();
    const CrunchOutcome outcome = runCrunch(attributes, images, randomSeed(), in, out, err);
    if (outcome.menus != MenuResult::Confirmed) return 0;
    const std::uint32_t end = tickCount();

    out << "Processing time: " << ticksBetween(start, end) * 0.001 << " seconds" << std::endl;
    printLine(out);
    sayFarewell(in, out, kCruncherName, EnterPrompt::Line);
    // The run went through, but some file it wrote is missing or short: that is no
    // success.
    return outcome.writeFailed ? 1 : 0;
  });
}

}  // namespace zorvel
