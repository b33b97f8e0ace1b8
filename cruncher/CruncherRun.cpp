#include "CruncherRun.h"

#include <fstream>
#include <istream>
#include <ostream>
#include <vector>

#include "CruncherMenus.h"
#include "RandomGenerator.h"
#include "TickCounter.h"

namespace zorvel {

namespace {

constexpr long long kMaxPixels = 20000;

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

// Writes one attribute file, from the map when it is usable, else from the constant
// under the colour image's name. Returns whether the map was used.
bool writeAttributeFile(PixelImage& map, const std::string& mapName, const char* extension, float constant,
                        const MapLines& lines, const PixelImage& colour, std::ostream& out, std::ostream& err) {
  const auto writeConstant = [&] {
    map.name = colour.name;
    map.pixelCount = colour.pixelCount;
    map.writeConstantFile(extension, constant, colour.pixelCount, err);
  };
  const auto refuse = [&](const char* why) {
    out << lines.label << mapName << why << std::endl;
    printLine(out, lines.ignored);
    printLine(out, lines.defaulted);
    printLine(out);
    writeConstant();
  };

  map.name = mapName;
  if (mapName.empty()) {
    writeConstant();
    printLine(out, lines.undefined);
    printLine(out, lines.defaulted);
    printLine(out);
    return false;
  }
  if (!map.isLoadableTga()) {
    printLine(out, lines.attemptFailed);
    printLine(out, lines.defaulted);
    printLine(out);
    writeConstant();
    return false;
  }
  map.loadAndSummarise(out);
  if (map.bitsPerPixel < 8 || map.bitsPerPixel > 15) {
    refuse(" isn't a TGA grayscale image.");
    return false;
  }
  if (map.width != colour.width || map.height != colour.height) {
    refuse(" not the same size as TGA color image.");
    return false;
  }
  map.writePixelFile(extension, err);
  return true;
}

// Reads an attribute file back: its count, then up to that many values. Values past a
// read failure are not there. False when the file does not open.
bool readAttributeValues(const std::string& fileName, std::vector<float>& values) {
  std::ifstream file(fileName);
  if (!file) return false;
  std::uint32_t count = 0;
  file >> count;
  values.clear();
  float value;
  while (values.size() < count && file >> value) values.push_back(value);
  return true;
}

enum class ColourCheck { Passed, Refused };

// Checks the colour image: named, loadable, and within the pixel limit.
ColourCheck checkColourImage(const CruncherAttributes& a, PixelImage& colour, std::ostream& out) {
  colour.name = a.pColorMap;
  if (colour.name.empty()) {
    printLine(out, "Color-file: Undefined");
    printLine(out);
    return ColourCheck::Refused;
  }
  if (!colour.isLoadableTga()) {
    printLine(out, "Attempt to open color-file failed.");
    printLine(out);
    return ColourCheck::Refused;
  }
  colour.loadAndSummarise(out);
  const long long count = colour.pixelCountOfSize();
  if (count > kMaxPixels) {
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

MenuResult runCrunch(CruncherAttributes& a, CruncherImages& images, std::uint32_t seed, std::istream& in,
                     std::ostream& out, std::ostream& err) {
  PixelImage& colour = images.colour;
  while (checkColourImage(a, colour, out) == ColourCheck::Refused) {
    const MenuResult result = showCruncherMainMenu(a, in, out);
    if (result != MenuResult::Confirmed) return result;
  }

  // The run proper starts with a fresh load of the colour image.
  colour.name = a.pColorMap;
  if (colour.name.empty() || !colour.isLoadableTga()) {
    printLine(out, colour.name.empty() ? "Color-file: Undefined" : "Attempt to open color-file failed.");
    printLine(out);
    return showCruncherMainMenu(a, in, out);
  }
  colour.loadAndSummarise(out);
  colour.pixelCount = static_cast<std::uint32_t>(colour.width * colour.height);
  colour.scatterVolumeScalar = a.scatterVolumeScalar;

  writeAttributeFile(images.opacity, a.pOpacityMap, ".pOpacity", a.pOpacityConstant, kOpacityLines, colour, out,
                     err);
  if (!writeAttributeFile(images.velocity, a.pVelocityMap, ".pVelocity", static_cast<float>(a.pVelocityConstant),
                          kVelocityLines, colour, out, err)) {
    a.setVelocityMin(a.pVelocityConstant, out);
    a.setVelocityMax(a.pVelocityConstant, out);
  }
  writeAttributeFile(images.scale, a.pScaleMap, ".pScale", a.pScaleConstant, kScaleLines, colour, out, err);
  const bool heightFromMap = writeAttributeFile(images.height, a.pHeightMap, ".pHeight", a.pHeightMaxConstant,
                                                kHeightLines, colour, out, err);

  std::vector<float> values;
  if (readAttributeValues(images.velocity.name + ".pVelocity", values)) {
    out << "Calculating per pixel velocity..." << std::flush;
    colour.applyVelocities(values.data(), values.size(), a.pVelocityMinConstant, a.pVelocityMaxConstant);
    printLine(out, "done");
  }

  colour.writePixelFile(".pColor", err);
  colour.placeOnGrid();

  if (readAttributeValues(images.height.name + ".pHeight", values)) {
    out << "Calculating per pixel height offset..." << std::flush;
    if (heightFromMap)
      colour.applyHeightOffsets(values.data(), values.size(), a.pHeightMaxConstant);
    else
      colour.applyUniformHeight(a.pHeightMaxConstant);
    printLine(out, "done");
  }

  out << "Scattering pixels..." << std::flush;
  colour.scatter(seed, out);
  printLine(out, "done");

  colour.calculateFrames(out, err);
  return MenuResult::Confirmed;
}

int runCruncherProgram(std::istream& in, std::ostream& out, std::ostream& err) {
  CruncherAttributes attributes;
  CruncherImages images;
  printLine(out, "Zorvel-cruncher v1.0 beta1 provided by Tavrin");
  printLine(out, "Please direct your fanmail to \"tavrin@zorvel.example\"");
  printLine(out);

  if (showCruncherMainMenu(attributes, in, out) != MenuResult::Confirmed) return 0;
  const std::uint32_t start = tickCount();
  if (runCrunch(attributes, images, randomSeed(), in, out, err) != MenuResult::Confirmed) return 0;
  const std::uint32_t end = tickCount();

  out << "Processing time: " << ticksBetween(start, end) * 0.001 << " seconds" << std::endl;
  printLine(out);
  printLine(out, "Thank you for using Zorvel-cruncher. Please come again.");
  printLine(out, "Press <ENTER> to exit.");
  in.get();
  return 0;
}

}  // namespace zorvel
