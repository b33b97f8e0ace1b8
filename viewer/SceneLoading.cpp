#include "viewer/SceneLoading.h"

#include <ostream>

#include "common/ConsoleText.h"
#include "common/MemoryBudget.h"
#include "common/WholeFile.h"
#include "viewer/AttributeLoading.h"
#include "viewer/RtgReport.h"

namespace zorvel {

namespace {

// The console lines of one attribute stage: the shared ones, and the viewer's own.
struct StageLines {
  AttributeLines common;
  const char* countDiffers;
  const char* caching;
  const char* unreadable;
};

const StageLines kColourLines{{"pColor-file: Undefined", "Pixel color defaulted to white.",
                               "Attempt to open specified pColor-file failed.", "Pixel color defaulted to white."},
                              "Number of pixels in pColor-file is not equal to number of pixels in pPath-file.",
                              "Caching pColor-file...",
                              "pColor-file holds neither one nor four values per pixel."};
const StageLines kOpacityLines{{"pOpacity-file: Undefined", "Pixel opacity defaulted to 255.",
                                "Attempt to open specified pOpacity-file failed.", "Pixel opacity defaulted to 255."},
                               "Number of pixels in pOpacity-file is not equal to number of pixels in pPath-file.",
                               "Caching pOpacity-file...",
                               "pOpacity-file holds fewer values than pixels."};
// The undefined scale file's default line has no full stop; the other two have one.
const StageLines kScaleLines{{"pScale-file: Undefined", "Pixel scale defaulted to 1.0",
                              "Attempt to open specified pScale-file failed.", "Pixel scale defaulted to 1.0."},
                             "Number of pixels in pScale-file is not equal to number of pixels in pPath-file.",
                             "Caching pScale-file...",
                             "pScale-file holds fewer values than pixels."};

// Prints the lines of one attribute stage: the caching line when the values were read
// (and hands them to `use`), else why not and the default (and calls `useDefault`), and
// for a file named that failed, why on `err` under the name of `program`.
template <class T, class Use, class Default>
void reportStage(const Result<T>& values, const std::string& fileName, const StageLines& lines, std::ostream& out,
                 std::ostream& err, const char* program, Use use, Default useDefault) {
  if (values) {
    use(values.value());
    out << lines.caching << std::flush;
    out << "done" << std::endl << std::endl;
    return;
  }
  const FailureKind kind = values.failure().kind;
  const AttributeLines& common = lines.common;
  if (kind == FailureKind::Undefined) {
    printNotUsed(out, common.undefined, common.undefinedDefault);
  } else {
    printNotUsed(out,
                 kind == FailureKind::CountMismatch ? lines.countDiffers
                 : kind == FailureKind::WrongFormat ? lines.unreadable
                                                    : common.cannotOpen,
                 common.defaulted);
    printReason(err, program, fileName, values.failure().reason);
  }
  useDefault();
}

void loadAttributeFiles(const ViewerAttributes& a, ViewerScene& scene, std::ostream& out, std::ostream& err,
                        const char* program) {
  const std::uint32_t n = scene.pixelCount;
  reportStage(
      readColourFile(a.pColorFile, n), a.pColorFile, kColourLines, out, err, program,
      [&](const PixelColours& c) {
        scene.pixelRed = c.red;
        scene.pixelGreen = c.green;
        scene.pixelBlue = c.blue;
        scene.pixelAlpha = c.alpha;
      },
      [&] {
        for (auto* channel : {&scene.pixelRed, &scene.pixelGreen, &scene.pixelBlue, &scene.pixelAlpha})
          channel->assign(n, 255);
      });
  // The opacity stage always writes alpha: from its file or the default.
  reportStage(
      readOpacityFile(a.pOpacityFile, n), a.pOpacityFile, kOpacityLines, out, err, program,
      [&](const auto& v) { scene.pixelAlpha = v; }, [&] { scene.pixelAlpha.assign(n, 255); });
  reportStage(
      readScaleFile(a.pScaleFile, n, a.pScaleMin, a.pScaleMax), a.pScaleFile, kScaleLines, out, err, program,
      [&](const auto& v) { scene.pixelScale = v; }, [&] { scene.pixelScale.assign(n, 1.0f); });
}

// The caching pass; false (its line printed) when the path file cannot be played.
bool cacheFrames(const std::string& pathFile, ViewerScene& scene, PathCacheListener& listener, std::ostream& out,
                 std::ostream& err, const char* program) {
  Result<ParticleAnimation> animation = cachePathFile(pathFile, listener, availableMemory());
  if (!animation) {
    reportPathFailure(animation.failure(), pathFile, out, err, program);
    return false;
  }
  scene.frameCount = animation->frameCount();
  scene.animation = std::move(animation.value());
  if (scene.animation.pixelCount() != scene.pixelCount) scene.allocatePixels(scene.animation.pixelCount());
  return true;
}

}  // namespace

ObjectShape loadObjectShape(const std::string& fileName, std::ostream& out, std::ostream& err) {
  printLine(out, "Analyzing specified RTG-file.");
  const Result<FileText> text = readWholeFile(fileName);
  if (!text) {
    printRtgOpenFailure(out, err, fileName);
    return ObjectShape{};
  }
  RtgObject object;
  const Result<void> read = readRtgObject(text->view(), object);
  printRtgSummary(out, fileName, object);
  printRtgObjectInfo(out, fileName, object);
  if (!read) {
    printRtgFault(err, fileName, read.failure());
    return ObjectShape{};
  }
  ObjectShape shape = flattenObjectCorners(object);
  printObjectCorners(out, shape);
  return shape;
}

namespace {

// The line of a path file cut short after `completeFrames` frames (at least one).
void printCutShort(std::ostream& out, std::int32_t completeFrames) {
  out << "pPath-file ends inside frame " << completeFrames << ": playing the " << completeFrames << " complete frames."
      << std::endl;
}

}  // namespace

void printPathFailure(std::ostream& out, const Failure& why) {
  if (why.kind == FailureKind::Undefined || why.kind == FailureKind::CannotOpen)
    printLine(out, "Attempt to open specified pPath-file failed.");
  else
    printLine(out, "pPath-file " + why.reason + ".");
}

void reportPathFailure(const Failure& why, const std::string& pathFile, std::ostream& out, std::ostream& err,
                       const char* program) {
  printPathFailure(out, why);
  if (why.kind != FailureKind::Undefined) printReason(err, program, pathFile, why.reason);
}

CutShortLine::CutShortLine(std::ostream& out) : out_(out) {}

void CutShortLine::frameCached(std::int32_t frame, bool complete) {
  if (!complete && frame > 0) printCutShort(out_, frame);
}

CachingLines::CachingLines(std::ostream& out) : out_(out) {}

void CachingLines::counts(std::uint32_t pixels, std::int32_t frames) {
  out_ << "Number of pixels: " << pixels << std::endl;
  out_ << "Number of frames: " << frames << std::endl;
}

void CachingLines::frameCached(std::int32_t frame, bool complete) {
  out_ << "Caching frame " << frame << "..." << std::flush;
  printLine(out_, complete ? "done" : "incomplete");
  if (!complete && frame > 0) printCutShort(out_, frame);
}

ObjectShape loadSceneAttributes(const ViewerAttributes& attributes, ViewerScene& scene, std::ostream& out,
                                std::ostream& err, const char* program) {
  ObjectShape shape = attributes.rtgFile.empty() ? ObjectShape{} : loadObjectShape(attributes.rtgFile, out, err);
  // A path file without a usable count leaves no pixels: it is refused when its frames are read.
  const Result<std::uint32_t> pixels = pathFilePixelCount(attributes.pPathFile);
  scene.allocatePixels(pixels ? pixels.value() : 0);
  loadAttributeFiles(attributes, scene, out, err, program);
  return shape;
}

std::optional<ObjectShape> loadScene(const ViewerAttributes& attributes, ViewerScene& scene,
                                     PathCacheListener& listener, std::ostream& out, std::ostream& err,
                                     const char* program) {
  ObjectShape shape = loadSceneAttributes(attributes, scene, out, err, program);
  if (!cacheFrames(attributes.pPathFile, scene, listener, out, err, program)) return std::nullopt;
  return shape;
}

}  // namespace zorvel
