#include "cruncher/CruncherRun.h"

#include <istream>
#include <optional>
#include <new>
#include <ostream>
#include <vector>

#include "cruncher/AttributeFiles.h"
#include "common/ConsoleText.h"
#include "cruncher/CruncherMenus.h"
#include "cruncher/FrameLoop.h"
#include "common/ImageSummary.h"
#include "cruncher/RandomGenerator.h"
#include "common/TickCounter.h"

namespace zorvel {

namespace {

constexpr long long kMaxPixels = 20000;
constexpr const char* kCruncher = "Zorvel-cruncher";

// What the run says about one of the four maps.
struct MapLines {
  const char* label;
  const char* undefined;
  const char* attemptFailed;
  const char* ignored;
  const char* defaulted;
};

constexpr MapLines kOpacityLines{"Opacity map: ", "pOpacity-file: Undefined", "Attempt to open opacity map failed.",
                                 "Opacity map will be ignored.", "Pixel opacity defaulted to pixel opacity constant."};
constexpr MapLines kVelocityLines{"Velocity scalar map: ", "pVelocity-file: Undefined",
                                  "Attempt to open velocity scalar map failed.", "Velocity scalar map will be ignored.",
                                  "Pixel velocity defaulted to pixel velocity scalar constant."};
constexpr MapLines kScaleLines{"Pixel scalar map: ", "pScalar-file: Undefined",
                               "Attempt to open pixel scalar map failed.", "Pixel scalar map will be ignored.",
                               "Pixel scale scalar defaulted to pixel scale scalar constant."};
constexpr MapLines kHeightLines{"Height map: ", "pHeight-file: Undefined", "Attempt to open height map failed.",
                                "Height map will be ignored.",
                                "Pixel height offset defaulted to pixel height offset constant."};

// The console and the record of files that could not be written.
struct RunOutput {
  std::ostream& out;
  std::ostream& err;
  bool writeFailed = false;

  // Reports a file that could not be written; returns `written`.
  bool written(bool written, const std::string& fileName) {
    if (!written) {
      err << "Could not write file \"" << fileName << "\"." << std::endl;
      writeFailed = true;
    }
    return written;
  }
};

// How one attribute file came to be.
struct AttributeFile {
  bool fromMap = false;  // the map was usable
  bool written = false;  // every byte reached the file
};

// Writes one attribute file, from the map when it is usable, else from the constant
// under the colour image's name. A map is decoded only once it passed its checks: the
// summary and the checks need its header alone.
AttributeFile writeAttributeFile(PixelImage& map, const std::string& mapName, const char* extension, float constant,
                                 const MapLines& lines, const PixelImage& colour, RunOutput& run) {
  std::ostream& out = run.out;
  const auto writeConstant = [&] {
    map.name = colour.name;
    map.pixelCount = colour.pixelCount;
    return AttributeFile{false, run.written(writeConstantFile(map.name, extension, constant, colour.pixelCount),
                                            map.name + extension)};
  };
  const auto refuse = [&](const char* why, const std::string& reason) {
    printReason(run.err, kCruncher, mapName, reason);
    out << lines.label << mapName << why << std::endl;
    printLine(out, lines.ignored);
    printLine(out, lines.defaulted);
    printLine(out);
    return writeConstant();
  };

  map.name = mapName;
  if (mapName.empty()) {
    const AttributeFile file = writeConstant();
    printLine(out, lines.undefined);
    printLine(out, lines.defaulted);
    printLine(out);
    return file;
  }
  const Result<TgaInfo> info = inspectTgaFile(mapName);
  if (!info) {
    printReason(run.err, kCruncher, mapName, info.failure().reason);
    printLine(out, lines.attemptFailed);
    printLine(out, lines.defaulted);
    printLine(out);
    return writeConstant();
  }
  printImageSummary(out, mapName, info.value());
  const std::string remake = "; bash scripts/make-tga.sh --grey --like " + colour.name + " PICTURE " + mapName +
                             " makes one from any picture";
  if (info->bitsPerPixel < 8 || info->bitsPerPixel > 15)
    return refuse(" isn't a TGA grayscale image.", "is a " + std::to_string(info->bitsPerPixel) +
                                                       "-bit picture where an 8-bit grey map is needed" + remake);
  if (static_cast<float>(info->width) != colour.width || static_cast<float>(info->height) != colour.height)
    return refuse(" not the same size as TGA color image.",
                  "is " + std::to_string(info->width) + " x " + std::to_string(info->height) +
                      " pixels where the colour image is " + std::to_string(static_cast<long>(colour.width)) + " x " +
                      std::to_string(static_cast<long>(colour.height)) + remake);
  map.load(static_cast<std::uint64_t>(colour.pixelCountOfSize()));
  return {true, run.written(writePixelFile(map, extension), map.name + extension)};
}

// The values of an attribute file written in this run, or nothing when it was not
// written whole or does not open: an older file of that name is never read.
std::optional<std::vector<float>> readBack(const PixelImage& map, const char* extension, const AttributeFile& file) {
  if (!file.written) return std::nullopt;
  Result<std::vector<float>> values = readAttributeValues(map.name + extension);
  if (!values) return std::nullopt;
  return std::move(values.value());
}

enum class ColourCheck { Passed, Refused };

// Checks the colour image from its header: named, loadable, and within the pixel limit.
// Says why on `err` when the image is named but unusable.
ColourCheck checkColourImage(const CruncherAttributes& a, PixelImage& colour, std::ostream& out, std::ostream& err) {
  colour.name = a.pColorMap;
  if (colour.name.empty()) {
    printLine(out, "Color-file: Undefined");
    printLine(out);
    return ColourCheck::Refused;
  }
  const Result<TgaInfo> info = inspectTgaFile(colour.name);
  if (!info) {
    printReason(err, kCruncher, colour.name, info.failure().reason);
    printLine(out, "Attempt to open color-file failed.");
    printLine(out);
    return ColourCheck::Refused;
  }
  printImageSummary(out, colour.name, info.value());
  const long long count = static_cast<long long>(info->pixelCount());
  if (count > kMaxPixels) {
    printReason(err, kCruncher, colour.name,
                "has " + std::to_string(count) + " pixels, more than the 20000 a run takes; "
                "bash scripts/make-tga.sh " + colour.name + " SMALLER.tga shrinks it to fit");
    printLine(out, "Number crunching cancelled.");
    printLine(out, "This program's pixelcount is set to a maximum value of 20,000 pixels.");
    out << "The TGA-image that is specified has " << count << " pixels." << std::endl;
    printLine(out, "Please specify another TGA-image to work on.");
    printLine(out);
    return ColourCheck::Refused;
  }
  return ColourCheck::Passed;
}

}  // namespace

CrunchOutcome runCrunch(CruncherAttributes& a, CruncherImages& images, std::uint32_t seed, std::istream& in,
                        std::ostream& out, std::ostream& err) {
  PixelImage& colour = images.colour;
  while (checkColourImage(a, colour, out, err) == ColourCheck::Refused) {
    const MenuResult result = showCruncherMainMenu(a, in, out);
    if (result != MenuResult::Confirmed) return {result, false};
  }

  // The run proper starts with a fresh load of the colour image.
  colour.name = a.pColorMap;
  if (colour.name.empty() || !colour.isLoadableTga()) {
    printLine(out, colour.name.empty() ? "Color-file: Undefined" : "Attempt to open color-file failed.");
    printLine(out);
    return {showCruncherMainMenu(a, in, out), false};
  }
  loadAndSummarise(colour, out, kMaxPixels);
  colour.pixelCount = static_cast<std::uint32_t>(colour.width * colour.height);
  colour.scatterVolumeScalar = a.scatterVolumeScalar;

  RunOutput run{out, err};
  writeAttributeFile(images.opacity, a.pOpacityMap, ".pOpacity", a.pOpacityConstant, kOpacityLines, colour, run);
  const AttributeFile velocity =
      writeAttributeFile(images.velocity, a.pVelocityMap, ".pVelocity", static_cast<float>(a.pVelocityConstant),
                         kVelocityLines, colour, run);
  if (!velocity.fromMap) {
    a.setVelocityMin(a.pVelocityConstant, out);
    a.setVelocityMax(a.pVelocityConstant, out);
  }
  writeAttributeFile(images.scale, a.pScaleMap, ".pScale", a.pScaleConstant, kScaleLines, colour, run);
  const AttributeFile height =
      writeAttributeFile(images.height, a.pHeightMap, ".pHeight", a.pHeightMaxConstant, kHeightLines, colour, run);

  if (const auto values = readBack(images.velocity, ".pVelocity", velocity)) {
    out << "Calculating per pixel velocity..." << std::flush;
    colour.applyVelocities(values->data(), values->size(), a.pVelocityMinConstant, a.pVelocityMaxConstant);
    printLine(out, "done");
  }

  run.written(writePixelFile(colour, ".pColor"), colour.name + ".pColor");
  colour.placeOnGrid();

  if (const auto values = readBack(images.height, ".pHeight", height)) {
    out << "Calculating per pixel height offset..." << std::flush;
    if (height.fromMap)
      colour.applyHeightOffsets(values->data(), values->size(), a.pHeightMaxConstant);
    else
      colour.applyUniformHeight(a.pHeightMaxConstant);
    printLine(out, "done");
  }

  out << "Scattering pixels..." << std::flush;
  colour.scatter(seed, out);
  printLine(out, "done");

  const FrameLoopResult frames =
      calculateFrames(colour.records, colour.name + ".pPath", [&out](std::int32_t frame, bool done) {
        if (done)
          printLine(out, "done");
        else
          out << "Calculating frame " << frame << "..." << std::flush;
      });
  run.written(frames.written, colour.name + ".pPath");
  return {MenuResult::Confirmed, run.writeFailed};
}

int runCruncherProgram(std::istream& in, std::ostream& out, std::ostream& err) {
  try {
    CruncherAttributes attributes;
    CruncherImages images;
    printBanner(out, "Zorvel-cruncher");

    if (showCruncherMainMenu(attributes, in, out) != MenuResult::Confirmed) return 0;
    const std::uint32_t start = tickCount();
    const CrunchOutcome outcome = runCrunch(attributes, images, randomSeed(), in, out, err);
    if (outcome.menus != MenuResult::Confirmed) return 0;
    const std::uint32_t end = tickCount();

    out << "Processing time: " << ticksBetween(start, end) * 0.001 << " seconds" << std::endl;
    printLine(out);
    printLine(out, "Thank you for using Zorvel-cruncher. Please come again.");
    printLine(out, "Press <ENTER> to exit.");
    in.get();
    // The run went through, but some file it wrote is missing or short: that is no
    // success.
    return outcome.writeFailed ? 1 : 0;
  } catch (const std::bad_alloc&) {
    out << std::flush;
    err << "Zorvel-cruncher: not enough memory." << std::endl;
    return 1;
  }
}

}  // namespace zorvel
