#include "ParticleDataLoader.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "TextScanner.h"
#include "WholeFile.h"

namespace zorvel {

namespace {

constexpr float kInverse255 = 0.003921569f;

// The console lines of one attribute stage.
struct StageLines {
  const char* undefined;
  const char* cannotOpen;
  const char* countDiffers;
  const char* caching;
  const char* unreadable;
  const char* defaulted;
};

const StageLines kColourLines{"pColor-file: Undefined", "Attempt to open specified pColor-file failed.",
                              "Number of pixels in pColor-file is not equal to number of pixels in pPath-file.",
                              "Caching pColor-file...", "pColor-file holds neither one nor four values per pixel.",
                              "Pixel color defaulted to white."};
const StageLines kOpacityLines{"pOpacity-file: Undefined", "Attempt to open specified pOpacity-file failed.",
                               "Number of pixels in pOpacity-file is not equal to number of pixels in pPath-file.",
                               "Caching pOpacity-file...", "pOpacity-file holds fewer values than pixels.",
                               "Pixel opacity defaulted to 255."};
const StageLines kScaleLines{"pScale-file: Undefined", "Attempt to open specified pScale-file failed.",
                             "Number of pixels in pScale-file is not equal to number of pixels in pPath-file.",
                             "Caching pScale-file...", "pScale-file holds fewer values than pixels.",
                             "Pixel scale defaulted to 1.0."};

// Runs one attribute stage. `read` parses the values after the count and returns false
// when they do not fit; it applies nothing until they all do. The default is applied by
// `useDefault`.
template <class Read, class Default>
void runStage(const std::string& fileName, const StageLines& lines, const char* undefinedDefault,
              std::uint32_t pixelCount, std::ostream& out, Read read, Default useDefault) {
  const auto fallBack = [&](const char* why, const char* defaulted) {
    out << why << std::endl << defaulted << std::endl << std::endl;
    useDefault();
  };
  if (fileName.empty()) return fallBack(lines.undefined, undefinedDefault);
  const std::optional<FileText> text = readWholeFile(fileName);
  if (!text) return fallBack(lines.cannotOpen, lines.defaulted);
  TextScanner scan(text->view());
  std::uint32_t count = 0;
  scan.integer(count);
  if (count != pixelCount) return fallBack(lines.countDiffers, lines.defaulted);
  if (!read(scan)) return fallBack(lines.unreadable, lines.defaulted);
  out << lines.caching << std::flush;
  out << "done" << std::endl << std::endl;
}

}  // namespace

float pixelScaleFor(float v, double min, double max) {
  return static_cast<float>(min + (max - min) * (static_cast<double>(v) * kInverse255));
}

void sizeFromPathFile(const std::string& pathFile, ViewerScene& scene) {
  std::uint32_t count = 0;
  if (!pathFile.empty()) {
    // The count stands at the start: a few bytes are enough. A count that the file
    // cannot hold (three numbers of at least two bytes a pixel) sizes nothing; the
    // caching pass then says why the file cannot be played.
    std::error_code error;
    const std::uintmax_t bytes = std::filesystem::file_size(pathFile, error);
    if (const std::optional<std::string> text = readFileStart(pathFile, 64)) TextScanner(*text).integer(count);
    if (error || count > bytes / 6) count = 0;
  }
  scene.allocatePixels(count);
}

void loadColourFile(const ViewerAttributes& a, ViewerScene& scene, std::ostream& out) {
  const std::uint32_t n = scene.pixelCount;
  const auto white = [&scene] {
    for (auto* channel : {&scene.pixelRed, &scene.pixelGreen, &scene.pixelBlue, &scene.pixelAlpha})
      channel->assign(channel->size(), 255);
  };
  runStage(a.pColorFile, kColourLines, "Pixel color defaulted to white.", n, out,
           [&](TextScanner& scan) {
             // One value per pixel is a grey picture's file; four are R, G, B, A.
             std::vector<std::int32_t> values;
             values.reserve(std::size_t{n} * 4);
             std::int32_t v;
             while (values.size() <= std::size_t{n} * 4 && scan.integer(v)) values.push_back(v);
             if (!scan.atEnd() && values.size() <= std::size_t{n} * 4) return false;
             if (values.size() == n) {
               for (std::uint32_t k = 0; k < n; ++k) {
                 scene.pixelRed[k] = scene.pixelGreen[k] = scene.pixelBlue[k] = values[k];
                 scene.pixelAlpha[k] = 255;
               }
               return true;
             }
             if (values.size() != std::size_t{n} * 4) return false;
             for (std::uint32_t k = 0; k < n; ++k) {
               scene.pixelRed[k] = values[k * 4];
               scene.pixelGreen[k] = values[k * 4 + 1];
               scene.pixelBlue[k] = values[k * 4 + 2];
               scene.pixelAlpha[k] = values[k * 4 + 3];
             }
             return true;
           },
           white);
}

void loadOpacityFile(const ViewerAttributes& a, ViewerScene& scene, std::ostream& out) {
  const std::uint32_t n = scene.pixelCount;
  runStage(a.pOpacityFile, kOpacityLines, kOpacityLines.defaulted, n, out,
           [&](TextScanner& scan) {
             std::vector<std::int32_t> values(n);
             for (std::int32_t& v : values)
               if (!scan.integer(v)) return false;
             scene.pixelAlpha = std::move(values);
             return true;
           },
           [&scene] { scene.pixelAlpha.assign(scene.pixelAlpha.size(), 255); });
}

void loadScaleFile(const ViewerAttributes& a, ViewerScene& scene, std::ostream& out) {
  const std::uint32_t n = scene.pixelCount;
  // The undefined row's default line has always lacked the full stop.
  runStage(a.pScaleFile, kScaleLines, "Pixel scale defaulted to 1.0", n, out,
           [&](TextScanner& scan) {
             std::vector<float> values(n);
             for (float& v : values) {
               if (!scan.number(v)) return false;
               v = pixelScaleFor(v, a.pScaleMin, a.pScaleMax);
             }
             scene.pixelScale = std::move(values);
             return true;
           },
           [&scene] { scene.pixelScale.assign(scene.pixelScale.size(), 1.0f); });
}

namespace {

// Numbers from text that arrives in pieces: the whole text at once, or a file read in
// chunks. Each piece handed to the scanner ends at white space, so no number is cut;
// the unfinished word at a chunk's end moves to the front of the next.
class NumberStream {
 public:
  explicit NumberStream(std::string_view text) : scan_(text) {}
  explicit NumberStream(std::FILE* file) : file_(file), buffer_(kChunkBytes), scan_(std::string_view()) {}

  template <class T>
  bool next(T& value) {
    for (;;) {
      if (read(value)) return true;
      if (!scan_.atEnd() || !refill()) return false;
    }
  }
  // Bytes handed out so far and still to come (for a file, as its size says).
  std::uint64_t remaining() const { return scan_.remaining() + (filled_ - pieceEnd_) + unread_; }
  void setUnread(std::uint64_t bytes) { unread_ = bytes; }

 private:
  static constexpr std::size_t kChunkBytes = 1 << 22;

  bool read(float& value) { return scan_.number(value); }
  template <class Integer>
  bool read(Integer& value) {
    return scan_.integer(value);
  }

  bool refill() {
    if (!file_ || std::feof(file_)) return false;
    std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(pieceEnd_), buffer_.begin() + static_cast<std::ptrdiff_t>(filled_),
              buffer_.begin());
    filled_ -= pieceEnd_;
    if (filled_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);  // a word longer than a chunk
    const std::size_t got = std::fread(buffer_.data() + filled_, 1, buffer_.size() - filled_, file_);
    filled_ += got;
    unread_ = unread_ > got ? unread_ - got : 0;
    pieceEnd_ = filled_;
    if (!std::feof(file_))
      while (pieceEnd_ > 0 && !TextScanner::isSpace(buffer_[pieceEnd_ - 1])) --pieceEnd_;
    if (pieceEnd_ == 0 && got > 0 && !std::feof(file_)) return refill();
    scan_ = TextScanner(std::string_view(buffer_.data(), pieceEnd_));
    return got > 0 || pieceEnd_ > 0;
  }

  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;
  std::size_t filled_ = 0;
  std::size_t pieceEnd_ = 0;
  std::uint64_t unread_ = 0;
  TextScanner scan_;
};

bool cacheFrames(NumberStream& numbers, ViewerScene& scene, std::ostream& out) {
  std::uint32_t pixels = 0;
  std::int32_t frames = 0;
  if (!numbers.next(pixels) || !numbers.next(frames)) {
    out << "pPath-file has no readable pixel and frame counts." << std::endl;
    return false;
  }
  if (frames <= 0) {
    out << "pPath-file holds no frames (frame count " << frames << ")." << std::endl;
    return false;
  }
  // Each number takes at least two bytes (a digit and a separator): refuse counts that
  // promise more numbers than the file holds before allocating anything for them.
  const std::uint64_t numbersPerFrame = 1 + std::uint64_t{pixels} * 3;
  if (static_cast<std::uint64_t>(frames) > (numbers.remaining() + 1) / 2 / numbersPerFrame) {
    out << "pPath-file is too short for " << pixels << " pixels in " << frames << " frames." << std::endl;
    return false;
  }
  if (pixels != scene.pixelCount) scene.allocatePixels(pixels);

  out << "Number of pixels: " << pixels << std::endl;
  out << "Number of frames: " << frames << std::endl;
  scene.frameCount = frames;
  scene.animation = ParticleAnimation(frames, pixels);
  for (std::int32_t i = 0; i < frames; ++i) {
    out << "Caching frame " << i << "..." << std::flush;
    std::int32_t number;
    bool complete = numbers.next(number);
    FrameParticle* particle = scene.animation.frame(i).particles;
    for (std::uint32_t j = 0; complete && j < pixels; ++j, ++particle)
      complete = numbers.next(particle->position.x) && numbers.next(particle->position.y) &&
                 numbers.next(particle->position.z);
    if (!complete) {
      out << "incomplete" << std::endl;
      scene.animation.keepFrames(i);
      scene.frameCount = i;
      if (i == 0) {
        out << "pPath-file ends inside frame 0: there is no complete frame to play." << std::endl;
        return false;
      }
      out << "pPath-file ends inside frame " << i << ": playing the " << i << " complete frames." << std::endl;
      return true;
    }
    out << "done" << std::endl;
  }
  return true;
}

}  // namespace

bool cachePathFile(const std::string& pathFile, ViewerScene& scene, std::ostream& out) {
  // Read in chunks: a path file can be hundreds of megabytes.
  const FileHandle file = openPlainFile(pathFile);
  if (!file) {
    out << "Attempt to open specified pPath-file failed." << std::endl;
    return false;
  }
  NumberStream numbers(file.get());
  std::error_code error;
  numbers.setUnread(std::filesystem::file_size(pathFile, error));
  return cacheFrames(numbers, scene, out);
}

bool cachePathText(std::string_view text, ViewerScene& scene, std::ostream& out) {
  NumberStream numbers(text);
  return cacheFrames(numbers, scene, out);
}

}  // namespace zorvel
