#include "blender/ConfigurationReading.h"

#include <algorithm>
#include <istream>
#include <map>
#include <memory>
#include <optional>
#include <ostream>

#include "blender/KeyframeFrames.h"
#include "common/ConsoleText.h"
#include "common/ImageSummary.h"
#include "common/MemoryBudget.h"
#include "common/ProgramNames.h"
#include "common/WholeFile.h"

namespace zorvel {

namespace {

const char* const kTitle[19] = {
    "###############################################################",
    "#                                                             #",
    "#   # # # # # # # # # # # # # # # # # # # # # # # # # # # #   #",
    "#                                                             #",
    "#                                                             #",
    "#   #   #   ###   ####   #   #   ###   #####  #   #  #####    #",
    "#   ## ##  #   #  #   #  #   #  #   #    #    ##  #  #        #",
    "#   # # #  #   #  ####   #   #  #####    #    # # #  ####     #",
    "#   #   #  #   #  #  #    # #   #   #    #    #  ##  #        #",
    "#   #   #   ###   #   #    #    #   #  #####  #   #  #####    #",
    "#                                                             #",
    "#                                                             #",
    "#                                                             #",
    "#            # #   # #   # #   # #   # #   # #   #            #",
    "#                                                             #",
    "#   # # # # # # # # # # # # # # # # # # # # # # # # # # # #   #",
    "#                                                             #",
    "#                                                             #",
    "###############################################################",
};

// A picture named by the entries, once however often it is named: the file it is (two
// names of one file are one picture), what its header declares, and the keyframes
// that show it.
struct Picture {
  std::string name;  // as the first entry naming it spells it
  Result<TgaInfo> header = failure(FailureKind::Undefined, "");
  std::shared_ptr<KeyframeImage> image;
};

// The distinct pictures of the entries, and which one each entry shows.
std::vector<Picture> planPictures(const std::vector<ConfigurationEntry>& entries, std::vector<std::size_t>& shown) {
  std::vector<Picture> pictures;
  std::map<std::pair<dev_t, ino_t>, std::size_t> byFile;
  for (const ConfigurationEntry& entry : entries) {
    const auto identity = fileIdentity(entry.imagePath);
    if (identity) {
      const auto known = byFile.find(*identity);
      if (known != byFile.end()) {
        shown.push_back(known->second);
        continue;
      }
      byFile[*identity] = pictures.size();
    } else {
      // A name of no file: the same name again is the same missing picture.
      const auto same =
          std::find_if(pictures.begin(), pictures.end(), [&](const Picture& p) { return p.name == entry.imagePath; });
      if (same != pictures.end()) {
        shown.push_back(static_cast<std::size_t>(same - pictures.begin()));
        continue;
      }
    }
    Picture picture;
    picture.name = entry.imagePath;
    picture.header = inspectTgaFile(entry.imagePath);
    shown.push_back(pictures.size());
    pictures.push_back(std::move(picture));
  }
  return pictures;
}

// The picture that takes the pictures and (for a `complete` set) the frames past
// `memoryBytes`, counted in entry order after the frames; null when they all fit.
const Picture* firstPictureBeyond(const std::vector<Picture>& pictures, const ConfigurationText& parsed, bool complete,
                                  std::uint64_t memoryBytes, std::uint64_t& needed) {
  // While a picture loads its records (16 bytes a pixel) and its decoded bytes (up to
  // 4 a pixel) are held together.
  const auto pictureBytes = [](const Picture& p) { return p.header ? p.header->pixelCount() * 20 : 0; };
  needed = 0;
  if (complete && !pictures.empty()) {
    std::vector<std::uint16_t> counts;
    for (const ConfigurationEntry& entry : parsed.entries) counts.push_back(entry.inbetweenCount);
    const std::int64_t frames = frameTotal(counts, counts.size());
    const std::uint64_t pixels = pictures[0].header ? pictures[0].header->pixelCount() : 0;
    needed = blendBytes(static_cast<std::uint64_t>(frames), pixels, pictures.size());
  }
  const Picture* beyond = needed > memoryBytes && !pictures.empty() ? &pictures[0] : nullptr;
  for (const Picture& picture : pictures) {
    needed += pictureBytes(picture);
    if (!beyond && needed > memoryBytes) beyond = &picture;
  }
  return beyond;
}

}  // namespace

void reportConfigError(BlenderConfig& config, FailureKind kind, std::ostream& out) {
  printLine(out, "------------MORVAINE FILE ERROR------------");
  printLine(out, kBoxRuleLine);
  printLine(out, kind == FailureKind::CannotOpen    ? "Specified Morvaine configuration file failed to open!"
                 : kind == FailureKind::WrongFormat ? "Specified file is not a Morvaine configuration file!"
                                                    : "Specified Morvaine configuration file contains errors!");
  printLine(out);
  config.configFile.clear();
  config.configLoaded = false;
}

bool readConfiguration(BlenderConfig& config, std::istream& in, std::ostream& out, std::ostream& err) {
  printLine(out);
  for (const char* line : kTitle) printLine(out, line);
  printLine(out);
  out << "Morvaine configuration file:" << std::flush;
  std::string fileName;
  if (!(in >> fileName)) return false;
  // A configuration that cannot be used says why on `err`; the menu reads configLoaded.
  if (const Result<void> read = readConfigurationFile(config, fileName, out, err, kBlenderName); !read)
    printLine(err, std::string(kBlenderName) + ": " + read.failure().reason);
  return true;
}

Result<void> readConfigurationFile(BlenderConfig& config, const std::string& fileName, std::ostream& out,
                                   std::ostream& err, const char* program) {
  config.configFile = fileName;
  const Result<FileText> file = readWholeFile(fileName);
  if (!file) {
    reportConfigError(config, FailureKind::CannotOpen, out);
    return failure(file.failure().kind, fileName + ": " + file.failure().reason);
  }
  return applyConfigurationText(config, file->view(), out, err, program, availableMemory());
}

namespace {

// The counts and displacements the text gives, over those the configuration held.
void takeCounts(BlenderConfig& config, const ConfigurationText& parsed) {
  if (parsed.keyframeCount) {
    config.keyframeCount = *parsed.keyframeCount;
    config.keyframes.assign(config.keyframeCount, std::make_shared<KeyframeImage>());
    config.imagePaths.clear();
    config.inbetweenCounts.clear();
  }
  if (parsed.minDisplacement) config.minDisplacement = *parsed.minDisplacement;
  if (parsed.maxDisplacement) config.maxDisplacement = *parsed.maxDisplacement;
}

// Entry `i`'s picture, decoded the first time an entry shows it, with its summary and,
// for a later keyframe of another size, its line.
void takeKeyframe(BlenderConfig& config, const ConfigurationEntry& entry, std::size_t i, Picture& picture,
                  std::ostream& out, std::ostream& err, const char* program) {
  const std::string& name = entry.imagePath;
  config.imagePaths.push_back(name);
  config.inbetweenCounts.push_back(entry.inbetweenCount);
  if (!picture.image) {
    picture.image = std::make_shared<KeyframeImage>();
    picture.image->name = name;
    // A picture that cannot be read is empty: 0 x 0, without pixels.
    const Result<TgaImage> decoded = picture.header ? readTgaFile(name) : picture.header.failure();
    if (decoded)
      picture.image->fillFromTga(decoded.value());
    else
      printReason(err, program, name, decoded.failure().reason);
    layOutPixels(*picture.image);
  }
  const KeyframeImage& image = *picture.image;
  printImageSummary(out, name, image.width, image.height, image.bitsPerPixel);
  config.keyframes[i] = picture.image;
  const KeyframeImage& first = *config.keyframes[0];
  if (i > 0 && (image.width != first.width || image.height != first.height))
    out << "Keyframe image " << name << " is " << image.width << " x " << image.height << ", not " << first.width
        << " x " << first.height
        << " as the first keyframe image: pixels it lacks are black, pixels beyond are not used." << std::endl;
}

}  // namespace

Result<void> applyConfigurationText(BlenderConfig& config, std::string_view text, std::ostream& out, std::ostream& err,
                                    const char* program, std::uint64_t memoryBytes) {
  const std::string configFile = config.configFile;
  ConfigurationText parsed;
  const Result<void> complete = parseConfiguration(text, parsed);
  takeCounts(config, parsed);

  // Every picture is checked from its header before any is decoded.
  std::vector<std::size_t> shown;
  std::vector<Picture> pictures = planPictures(parsed.entries, shown);
  std::uint64_t needed = 0;
  if (const Picture* beyond = firstPictureBeyond(pictures, parsed, static_cast<bool>(complete), memoryBytes, needed)) {
    const TgaInfo size = beyond->header ? beyond->header.value() : TgaInfo{};
    const std::string needs = "the keyframes and their frames need " + megabytesNeeded(needed) + ", " +
                              megabytesAvailable(memoryBytes) + " are available";
    out << "Keyframe image " << beyond->name << " (" << size.width << " x " << size.height
        << ") does not fit in memory: " << needs << "." << std::endl;
    config.configFile.clear();
    config.configLoaded = false;
    return failure(FailureKind::TooLarge, beyond->name + ": does not fit in memory: " + needs);
  }

  for (std::size_t i = 0; i < parsed.entries.size(); ++i)
    takeKeyframe(config, parsed.entries[i], i, pictures[shown[i]], out, err, program);
  if (parsed.lastPath) config.imagePaths.push_back(*parsed.lastPath);
  if (!complete) {
    reportConfigError(config, complete.failure().kind, out);
    return failure(complete.failure().kind, configFile + ": " + complete.failure().reason);
  }
  config.configLoaded = true;
  return {};
}

}  // namespace zorvel
